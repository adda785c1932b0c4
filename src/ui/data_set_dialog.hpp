#pragma once
// The windows shown before the title window when the program looks for its data set
// itself: a chooser when several are found, and a window that says none was found and
// offers to write the demo set or to choose a folder.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QThread;

namespace vantrel {

// The list of data sets found, `preselect` selected (none: no row is).
class DataSetChooser final : public QDialog {
    Q_OBJECT
public:
    DataSetChooser(const std::vector<std::filesystem::path>& sets, const std::optional<std::filesystem::path>& preselect,
                   QWidget* parent = nullptr);
    [[nodiscard]] std::filesystem::path chosen() const { return chosen_; }
    [[nodiscard]] QListWidget* list() const { return list_; }
    // Why the set tried last did not start, and which it was, above the list.
    void show_failure(const std::filesystem::path& dir, const QString& message);
    [[nodiscard]] static QString failure_text(const std::filesystem::path& dir, const QString& message);
    [[nodiscard]] QLabel* failure() const { return failure_; }

private:
    void take_selected();
    void choose_folder();

    QListWidget* list_ = nullptr;
    QLabel* failure_ = nullptr;
    std::filesystem::path chosen_;
};

struct DemoWrite {
    std::filesystem::path dir;  // where the demo set goes ($XDG_DATA_HOME/vantrel/demo)
    bool small = false;         // the tests' small pack
    bool films = true;
};

// "No data set": writes the demo set with a progress bar, or takes a folder the player
// chooses. Accepted with `chosen()` set to a folder that holds a data set.
class NoDataSetWindow final : public QDialog {
    Q_OBJECT
public:
    NoDataSetWindow(DemoWrite demo, const std::vector<std::filesystem::path>& searched, QWidget* parent = nullptr);
    ~NoDataSetWindow() override;
    [[nodiscard]] std::filesystem::path chosen() const { return chosen_; }
    [[nodiscard]] QPushButton* write_button() const { return write_; }
    [[nodiscard]] QProgressBar* progress() const { return progress_; }
    [[nodiscard]] QLabel* status() const { return status_; }
    [[nodiscard]] bool writing() const { return worker_ != nullptr; }

    void write_demo();
    void reject() override;  // ignored while the demo set is being written

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void choose_folder();
    void step(const QString& line);
    void written(const QString& failure, const QString& partial);

    DemoWrite demo_;
    QPushButton* write_ = nullptr;
    QPushButton* folder_ = nullptr;
    QPushButton* quit_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    std::unique_ptr<QThread> worker_;
    int films_started_ = 0;
    std::filesystem::path chosen_;
};

struct PickedDataSet {
    std::filesystem::path dir;
    bool chosen = false;  // by the player: to be remembered once it has started
    std::vector<std::filesystem::path> found;  // every set the search found
};

// A set that did not start, and what its start reported.
struct FailedStart {
    std::filesystem::path dir;
    QString message;
};

// The whole decision without --data-dir: search, ask when needed (always with `ask` or
// after a failed start, which the chooser shows). nullopt when the player quits.
[[nodiscard]] std::optional<PickedDataSet> pick_data_set(bool ask, const std::optional<FailedStart>& failed = {});

// Remembers a choice and the sets found for the next start; done only once the set has
// started, so a set that fails to start is not offered again at once.
void remember_data_set(const PickedDataSet& picked);
// A set that failed to start is no longer the remembered one.
void forget_data_set(const std::filesystem::path& dir);

}  // namespace vantrel
