#include "ui/data_set_dialog.hpp"

#include <algorithm>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QThread>
#include <QVBoxLayout>

#include "demo_data/pack.hpp"
#include "ui/data_sets.hpp"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

constexpr char kLastChosenKey[] = "data_set/last_chosen";
constexpr char kLastFoundKey[] = "data_set/last_found";
// The generator reports steps "[1/8]" .. "[8/8]", step 7 once per line's film; the two
// films take nearly all the time, so the bar goes by their share, not by step count.
int progress_at(int step, int films_started) {
    if (step < 7) return step - 1;
    if (step == 7) return films_started <= 1 ? 6 : 53;
    return 97;
}

QString shown(const fs::path& p) { return QString::fromStdString(p.string()); }

// A folder the player picked: it must hold a data set, else say so and give nothing.
std::optional<fs::path> ask_folder(QWidget* parent) {
    const QString dir = QFileDialog::getExistingDirectory(
        parent, QCoreApplication::translate("vantrel::DataSetChooser", "データセットのフォルダを選ぶ"));
    if (dir.isEmpty()) return std::nullopt;
    const fs::path folder = dir.toStdString();
    if (holds_data_set(folder)) return folder;
    QMessageBox::warning(parent, "Vantrel",
                         QCoreApplication::translate("vantrel::DataSetChooser",
                                                     "このフォルダにはデータセットがありません。\n"
                                                     "(vantrel.dat と image/title または operation.dat が必要です)"));
    return std::nullopt;
}

// Beside an existing folder of that name rather than over it: it is not ours.
fs::path free_name(const fs::path& wanted) {
    std::error_code ec;
    fs::path candidate = wanted;
    for (int n = 2; fs::exists(candidate, ec); ++n)
        candidate = wanted.parent_path() / (wanted.filename().string() + "-" + std::to_string(n));
    return candidate;
}

}  // namespace

DataSetChooser::DataSetChooser(const std::vector<fs::path>& sets, const std::optional<fs::path>& preselect,
                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("データセットの選択 - Vantrel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("使うデータセットを選んでください。"), this));
    failure_ = new QLabel(this);
    failure_->setObjectName("failure");
    failure_->setStyleSheet("color: #b00000;");
    failure_->setWordWrap(true);
    failure_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    failure_->hide();
    layout->addWidget(failure_);
    list_ = new QListWidget(this);
    list_->setObjectName("DataSets");
    for (const fs::path& dir : sets) {
        auto* item = new QListWidgetItem(shown(dir.filename()) + "    " + shown(dir), list_);
        item->setData(Qt::UserRole, shown(dir));
        if (preselect && *preselect == dir) list_->setCurrentItem(item);
    }
    list_->setMinimumWidth(480);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("開始"), QDialogButtonBox::AcceptRole);
    QPushButton* folder = buttons->addButton(tr("フォルダを選ぶ..."), QDialogButtonBox::ActionRole);
    buttons->addButton(tr("終了"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &DataSetChooser::take_selected);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(folder, &QPushButton::clicked, this, &DataSetChooser::choose_folder);
    connect(list_, &QListWidget::itemActivated, this, &DataSetChooser::take_selected);
}

QString DataSetChooser::failure_text(const fs::path& dir, const QString& message) {
    return tr("データセット %1 を開始できませんでした。\n%2\n別のデータセットかフォルダを選んでください。")
        .arg(shown(dir), message);
}

void DataSetChooser::show_failure(const fs::path& dir, const QString& message) {
    failure_->setText(failure_text(dir, message));
    failure_->show();
}

void DataSetChooser::take_selected() {
    const QListWidgetItem* item = list_->currentItem();
    if (!item) return;
    chosen_ = item->data(Qt::UserRole).toString().toStdString();
    accept();
}

void DataSetChooser::choose_folder() {
    if (const auto folder = ask_folder(this)) {
        chosen_ = *folder;
        accept();
    }
}

NoDataSetWindow::NoDataSetWindow(DemoWrite demo, const std::vector<fs::path>& searched, QWidget* parent)
    : QDialog(parent), demo_(std::move(demo)) {
    setWindowTitle(tr("データセットがありません - Vantrel"));
    auto* layout = new QVBoxLayout(this);
    auto* japanese = new QLabel(tr("データセットが見つかりません。"), this);
    QFont big = japanese->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    japanese->setFont(big);
    layout->addWidget(japanese);
    QStringList places;
    for (const fs::path& p : searched) places << "  " + shown(p);
    auto* where = new QLabel(tr("探した場所:") + '\n' + places.join('\n') + "\n\n" +
                                 tr("デモデータを作成するか (1 分ほど)、データセットのフォルダを選んでください。"),
                             this);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(where);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->hide();
    layout->addWidget(progress_);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    layout->addWidget(status_);
    auto* buttons = new QDialogButtonBox(this);
    write_ = buttons->addButton(tr("デモデータを作成"), QDialogButtonBox::ActionRole);
    folder_ = buttons->addButton(tr("フォルダを選ぶ..."), QDialogButtonBox::ActionRole);
    quit_ = buttons->addButton(tr("終了"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(write_, &QPushButton::clicked, this, &NoDataSetWindow::write_demo);
    connect(folder_, &QPushButton::clicked, this, &NoDataSetWindow::choose_folder);
    connect(quit_, &QPushButton::clicked, this, &QDialog::reject);
}

NoDataSetWindow::~NoDataSetWindow() {
    if (worker_) worker_->wait();
}

void NoDataSetWindow::choose_folder() {
    if (const auto folder = ask_folder(this)) {
        chosen_ = *folder;
        accept();
    }
}

void NoDataSetWindow::write_demo() {
    if (worker_) return;
    for (QPushButton* b : {write_, folder_, quit_}) b->setEnabled(false);
    progress_->setValue(0);
    films_started_ = 0;
    progress_->show();
    status_->setText(tr("デモデータを作成しています..."));
    // Written into a hidden folder and moved in place when whole, so an interrupted write
    // never looks like a data set.
    const fs::path partial = demo_.dir.parent_path() / ".demo-partial";
    worker_.reset(QThread::create([this, partial] {
        std::error_code ec;
        fs::remove_all(partial, ec);
        demo::PackOptions options;
        options.small = demo_.small;
        options.films = demo_.films;
        options.progress = [this](const std::string& line) {
            QMetaObject::invokeMethod(this, [this, l = QString::fromStdString(line)] { step(l); }, Qt::QueuedConnection);
        };
        const std::string failure = demo::write_pack(partial, options);
        QMetaObject::invokeMethod(
            this, [this, f = QString::fromStdString(failure), p = shown(partial)] { written(f, p); },
            Qt::QueuedConnection);
    }));
    worker_->start();
}

void NoDataSetWindow::step(const QString& line) {
    static const QRegularExpression kStep(R"(^\[(\d+)/\d+\])");
    const auto match = kStep.match(line);
    if (match.hasMatch()) {
        const int n = match.captured(1).toInt();
        if (n == 7) ++films_started_;
        progress_->setValue(progress_at(n, films_started_));
    }
    status_->setText(line);
}

void NoDataSetWindow::written(const QString& failure, const QString& partial) {
    worker_->wait();
    worker_.reset();
    std::error_code ec;
    if (failure.isEmpty()) {
        const fs::path target = free_name(demo_.dir);
        fs::rename(partial.toStdString(), target, ec);
        if (!ec) {
            progress_->setValue(progress_->maximum());
            chosen_ = target;
            accept();
            return;
        }
    }
    const QString why = failure.isEmpty() ? QString::fromStdString(ec.message()) : failure;
    status_->setText(tr("デモデータを作成できませんでした: ") + why);
    for (QPushButton* b : {write_, folder_, quit_}) b->setEnabled(true);
}

void NoDataSetWindow::closeEvent(QCloseEvent* event) {
    if (worker_) {
        event->ignore();  // the demo set is being written: it finishes first
        return;
    }
    QDialog::closeEvent(event);
}

void NoDataSetWindow::reject() {
    if (!worker_) QDialog::reject();
}

namespace {

std::vector<fs::path> remembered_found() {
    std::vector<fs::path> found;
    for (const QString& dir : QSettings().value(kLastFoundKey).toStringList()) found.emplace_back(dir.toStdString());
    return found;
}

}  // namespace

std::optional<PickedDataSet> pick_data_set(bool ask, const std::optional<FailedStart>& failed) {
    StartMemory memory;
    const QString remembered = QSettings().value(kLastChosenKey).toString();
    if (!remembered.isEmpty()) memory.last_chosen = fs::path(remembered.toStdString());
    memory.last_found = remembered_found();
    const DataSetPlaces places = DataSetPlaces::from_process(memory.last_chosen);
    const DataSetSearch search = find_data_sets(places);
    const DataSetPlan plan =
        plan_data_set(search, memory, ask, failed ? std::optional<fs::path>(failed->dir) : std::nullopt);
    if (plan.use) return PickedDataSet{*plan.use, false, search.found};
    if (!plan.offered.empty()) {
        DataSetChooser chooser(plan.offered, plan.preselect);
        if (failed) chooser.show_failure(failed->dir, failed->message);
        if (chooser.exec() != QDialog::Accepted) return std::nullopt;
        return PickedDataSet{chooser.chosen(), true, search.found};
    }
    std::vector<fs::path> searched{places.current};
    for (const fs::path& root : vantrel_data_roots(places)) searched.push_back(root);
    NoDataSetWindow none(DemoWrite{user_demo_dir(places)}, searched);
    if (failed) none.status()->setText(DataSetChooser::failure_text(failed->dir, failed->message));
    if (none.exec() != QDialog::Accepted) return std::nullopt;
    return PickedDataSet{none.chosen(), true, find_data_sets(places).found};
}

void remember_data_set(const PickedDataSet& picked) {
    QSettings settings;
    if (picked.chosen) settings.setValue(kLastChosenKey, shown(picked.dir));
    QStringList found;
    for (const fs::path& dir : picked.found) found << shown(dir);
    settings.setValue(kLastFoundKey, found);
}

void forget_data_set(const fs::path& dir) {
    QSettings settings;
    if (settings.value(kLastChosenKey).toString() == shown(dir)) settings.remove(kLastChosenKey);
}

}  // namespace vantrel
