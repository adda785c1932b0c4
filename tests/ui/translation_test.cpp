// The translation: every text the program marks is in the English file and arrives through
// the built-in translation; Qt's own dialogs follow a Japanese locale.
#include <algorithm>
#include <map>
#include <tuple>

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QProcess>
#include <QTranslator>
#include <QXmlStreamReader>

#include "app/report_writers.hpp"
#include "ui/app_translation.hpp"
#include "ui/report_window.hpp"
#include "ui_fixture.hpp"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

using Messages = std::map<std::tuple<QString, QString, QString>, QString>;  // (context, source, comment) -> translation

// The messages of a .ts file; an unfinished or empty translation reads as empty.
Messages read_ts(const fs::path& file) {
    QFile in(QString::fromStdString(file.string()));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << file;
    QXmlStreamReader xml(&in);
    Messages messages;
    QString context, source, comment, translation;
    bool finished = true;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            source.clear();
            comment.clear();
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"comment") {
            comment = xml.readElementText();
        } else if (xml.name() == u"translation") {
            finished = xml.attributes().value("type").isEmpty();
            translation = xml.readElementText();
            messages[{context, source, comment}] = finished ? translation : QString();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

// Installs the translations for `locale` and takes them away again at the end of the scope,
// so the other window tests see the program's own texts.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) : installed_(install_translation(qt_app(), locale)) {}
    ~LocaleScope() {
        for (QTranslator* t : qt_app().findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
    }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;
    [[nodiscard]] bool installed() const { return installed_; }

private:
    bool installed_;
};

TEST(Translation, EveryMarkedTextIsInTheEnglishFileAndArrives) {
    qt_app();
    TempDir tmp;
    const fs::path source = VANTREL_SOURCE_DIR;
    const fs::path fresh = tmp / "fresh.ts";
    QProcess lupdate;
    lupdate.start(QLibraryInfo::path(QLibraryInfo::BinariesPath) + "/lupdate",
                  {"-silent", "-locations", "none", "-I", QString::fromStdString((source / "src").string()),
                   QString::fromStdString((source / "src" / "ui").string()), "-ts",
                   QString::fromStdString(fresh.string())});
    ASSERT_TRUE(lupdate.waitForFinished(120000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    const Messages marked = read_ts(fresh);
    const Messages english = read_ts(source / "src" / "ui" / "translations" / "vantrel_en.ts");
    ASSERT_GT(marked.size(), 30U);
    for (const auto& [key, unused] : marked) {
        const auto found = english.find(key);
        EXPECT_TRUE(found != english.end() && !found->second.isEmpty())
            << "no English for " << std::get<0>(key).toStdString() << ": " << std::get<1>(key).toStdString();
    }
    const LocaleScope scope(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_TRUE(scope.installed());
    for (const auto& [key, translation] : english) {
        const auto& [context, text, comment] = key;
        const QByteArray disambiguation = comment.toUtf8();
        EXPECT_EQ(QCoreApplication::translate(context.toUtf8().constData(), text.toUtf8().constData(),
                                              comment.isEmpty() ? nullptr : disambiguation.constData()),
                  translation)
            << text.toStdString();
    }
}

// A report with every kind of line: judged early, late and on time, stop errors both ways,
// outside the platform, a missed stop, an emergency and an overspeed.
RunReportData every_line() {
    RunReportData r;
    r.line_name = "Demo line";
    r.train = "train_demo.dat";
    r.stations = {{"First", true, std::nullopt, 900, std::nullopt, 1000, 30, true, false},
                  {"Second", true, 5000, 5600, 7000, 7700, -120, false, false},
                  {"Third", false, 9000, std::nullopt, 8000, std::nullopt, std::nullopt, true, false},
                  {"Fourth", true, 12000, 12600, std::nullopt, std::nullopt, std::nullopt, true, true}};
    r.emergencies = {{EmergencyKind::Ats, 4000, 120, 812.5L}};
    r.overspeed = {{45, 7, 3000, 95, 100, 700.0L}};
    return r;
}

// Without a translation the report window's page is the runner's page; with the English one
// nothing of it stays Japanese but the data's own names.
TEST(Translation, TheReportPageFollowsTheTranslation) {
    qt_app();
    const RunReportData report = every_line();
    EXPECT_EQ(report_html(report, ReportWindow::words()), report_html(report));
    const LocaleScope scope(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const std::string page = report_html(report, ReportWindow::words());
    EXPECT_TRUE(std::all_of(page.begin(), page.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        << page;
    EXPECT_NE(page.find("lang=\"en\""), std::string::npos);
    EXPECT_NE(page.find("1 min 10 s late"), std::string::npos) << page;
}

TEST(Translation, QtsOwnDialogsAreJapaneseUnderAJapaneseLocale) {
    qt_app();
    const LocaleScope scope(QLocale(QLocale::Japanese, QLocale::Japan));
    EXPECT_FALSE(scope.installed());  // the program's texts are Japanese already
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const auto* look_in = dialog.findChild<QLabel*>("lookInLabel");
    ASSERT_NE(look_in, nullptr);
    EXPECT_NE(look_in->text(), "Look in:");
    EXPECT_NE(dialog.labelText(QFileDialog::Accept), "&Open");
    EXPECT_NE(dialog.labelText(QFileDialog::Reject), "Cancel");
}

}  // namespace
}  // namespace vantrel::test
