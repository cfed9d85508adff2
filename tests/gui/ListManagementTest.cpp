// The Options window and the Server List Editor: settings on hide, selecting,
// deleting and creating lists, and the editor's changes as they reach the file.
#include "support/FileSizeLimit.h"
#include "support/FormsFixture.h"
#include "ui/lists/TForm3.h"
#include "ui/lists/TForm5.h"
#include "ui/lists/TForm6.h"
#include "ui/watch/TForm2.h"
#include "ui/watch/TForm4.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTest>
#include <filesystem>

using namespace korvane;
using korvane::test::DataFolder;
using korvane::test::FileSizeLimit;
using korvane::test::FormsFixture;
using namespace Qt::StringLiterals;

namespace {

std::vector<std::string> records(std::initializer_list<std::array<const char*, 3>> servers)
{
    std::vector<std::string> lines;
    for (const auto& server : servers)
        lines.insert(lines.end(), server.begin(), server.end());
    return lines;
}

} // namespace

class ListManagement : public FormsFixture
{
protected:
    TForm3& options() { return *forms->Form3; }
    TForm5& editor() { return *forms->Form5; }

    void startWithLists()
    {
        writeData(records({{"Alpha", "127.0.0.1", "1"}, {"Bravo", "127.0.0.1", "2"}}));
        folder.writeLines("Serverlists/Clan", records({{"Zulu", "127.0.0.1", "3"}}));
        folder.writeLines("Serverlists/Other", records({{"Yankee", "127.0.0.1", "4"}}));
        start();
        options().show();
    }
    void selectList(const QString& name)
    {
        ListView* lists = options().ListView1;
        for (int i = 0; i < lists->rowCount(); ++i)
            lists->row(i)->setSelected(ListView::caption(lists->row(i)) == name);
    }
    QStringList lists() const
    {
        QStringList names;
        for (int i = 0; i < forms->Form3->ListView1->rowCount(); ++i)
            names.append(ListView::caption(forms->Form3->ListView1->row(i)));
        return names;
    }
    QStringList box() const
    {
        QStringList names;
        for (int i = 0; i < forms->Form1->ComboBoxEx1->count(); ++i)
            names.append(forms->Form1->ComboBoxEx1->itemText(i));
        return names;
    }
    std::vector<std::string> config() const
    {
        std::vector<std::string> lines;
        std::string text = folder.read("Config");
        for (size_t at = 0; at < text.size();) {
            const size_t end = text.find("\r\n", at);
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
};

TEST_F(ListManagement, HidingWritesTheSettingsWithTheSaveScanRule)
{
    struct Case
    {
        bool tick;
        int timeout;
        const char* line9;
    } cases[] = {{true, 5000, "save"}, {false, 1000, "fast"}};
    startWithLists();
    for (const Case& c : cases) {
        options().show();
        options().CheckBox3->setChecked(c.tick);
        options().CheckBox2->setChecked(true);
        options().LabeledEdit1->setText("Sniper");
        options().hide();
        EXPECT_EQ(form1().state.TimeoutMs, c.timeout);
        const std::vector<std::string> lines = config();
        ASSERT_EQ(lines.size(), 12u);
        EXPECT_EQ(lines[2], "clantags on");
        EXPECT_EQ(lines[3], "Sniper");
        EXPECT_EQ(lines[7], "1000") << "the user's time-out stays";
        EXPECT_EQ(lines[8], c.line9);
    }
}

TEST_F(ListManagement, SelectingAListStopsTheScanLoadsItAndScansAgain)
{
    startWithLists();
    EXPECT_EQ(lists(), (QStringList{"Clan", "Other", "Standard"}));
    form1().ToolButton3Click();
    ASSERT_TRUE(form1().state.Scanning);
    selectList("Clan");
    options().selectlist1->trigger();
    EXPECT_EQ(form1().state.CurrentList, "Serverlists\\Clan");
    EXPECT_EQ(test::columnTexts(form1().ListView3, 2), QStringList{"Zulu"});
    EXPECT_EQ(box(), QStringList{"Zulu"});
    EXPECT_FALSE(options().isVisible());
    EXPECT_EQ(config()[1], "Serverlists\\Clan");
    EXPECT_TRUE(form1().state.Scanning) << "a scan of the new list starts at once";
    form1().ToolButton9Click();
}

TEST_F(ListManagement, DeletingAListLeavesStandardCurrent)
{
    struct Case
    {
        const char* current;
        QString deleted;
        bool gone;
    } cases[] = {
        {"Serverlists\\Clan", "Clan", true},
        {"Serverlists\\Clan", "Other", true},
        {"Serverlists\\Clan", "standard", true}, // only the exact name is protected
        {"Serverlists\\Clan", "Standard", false},
    };
    for (const Case& c : cases) {
        forms.reset();
        startWithLists();
        folder.writeLines("Serverlists/standard", records({{"x", "127.0.0.1", "5"}}));
        form1().state.CurrentList = c.current;
        options().hide();
        options().show();
        selectList(c.deleted);
        if (c.gone) dialogs.queueConfirm(true);
        options().deleteserver1->trigger();
        EXPECT_EQ(!folder.exists("Serverlists/" + c.deleted.toStdString()), c.gone)
            << c.deleted.toStdString();
        if (!c.gone) {
            EXPECT_TRUE(dialogs.shown().isEmpty());
            continue;
        }
        EXPECT_EQ(dialogs.shownTexts().last(), "Delete List " + c.deleted + " ?");
        EXPECT_EQ(form1().state.CurrentList, "Serverlists\\Standard");
        EXPECT_EQ(test::columnTexts(form1().ListView3, 2), (QStringList{"Alpha", "Bravo"}));
        EXPECT_EQ(test::columnTexts(form1().ListView3, 0), (QStringList{"not scanned", "not scanned"}));
        EXPECT_FALSE(lists().contains(c.deleted));
        EXPECT_TRUE(options().isVisible());
        dialogs.clear();
    }
}

TEST_F(ListManagement, NewListOverAnExistingNameAsksFirst)
{
    for (bool yes : {false, true}) {
        forms.reset();
        startWithLists();
        dialogs.queueFileName(folder.path() + "/elsewhere/Clan");
        dialogs.queueConfirm(yes);
        options().newlist1->trigger();
        EXPECT_EQ(dialogs.shownTexts().last(), "List Clan exists. Empty it ?");
        EXPECT_EQ(folder.read("Serverlists/Clan").empty(), yes);
        EXPECT_EQ(editor().isVisible(), yes);
        if (yes) {
            EXPECT_EQ(editor().windowTitle(), "Clan");
            EXPECT_EQ(editor().ListView1->rowCount(), 0);
        }
        dialogs.clear();
    }
}

TEST_F(ListManagement, ListActionsRefuseWhileScanning)
{
    startWithLists();
    selectList("Clan");
    form1().state.Scanning = true;
    for (QAction* action :
         {options().deleteserver1, options().editlist1, options().newlist1, options().exportsslf1})
        action->trigger();
    options().Button3->click();
    options().Button5->click();
    options().Button7->click(); // only hides and shows
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_TRUE(folder.exists("Serverlists/Clan"));
    EXPECT_FALSE(editor().isVisible());
    EXPECT_TRUE(options().isVisible());
    form1().state.Scanning = false;
}

TEST_F(ListManagement, EditorSavesEveryChangeInNameOrder)
{
    startWithLists();
    selectList("Other");
    options().editlist1->trigger();
    ASSERT_TRUE(editor().isVisible());
    EXPECT_FALSE(options().isVisible());
    EXPECT_EQ(editor().StatusPanel0->text(), "1 servers listed.");

    auto add = [&](const QString& name, const QString& address, const QString& port) {
        editor().LabeledEdit1->setText(name);
        editor().LabeledEdit2->setText(address);
        editor().LabeledEdit3->setText(port);
        editor().ToolButton5->click();
    };
    add("Zeta", "127.0.0.1", "9");
    add("alpha", "127.0.0.1", "8");
    add("NoPort", "127.0.0.1", ""); // nothing added, the file still rewritten
    EXPECT_EQ(folder.read("Serverlists/Other"),
              test::crlf(records(
                  {{"alpha", "127.0.0.1", "8"}, {"Yankee", "127.0.0.1", "4"}, {"Zeta", "127.0.0.1", "9"}})));

    // An IP typed with its port is split when the IP edit is left.
    editor().LabeledEdit2->setText("10.0.0.1:12203:x");
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(editor().LabeledEdit2, &leave);
    EXPECT_EQ(editor().LabeledEdit2->text(), "10.0.0.1");
    EXPECT_EQ(editor().LabeledEdit3->text(), "12203:x");

    // Change and delete ask first; copying the same server twice adds it twice.
    editor().ListView1->row(0)->setSelected(true);
    editor().LabeledEdit1->setText("Omega");
    editor().LabeledEdit2->setText("127.0.0.1");
    editor().LabeledEdit3->setText("7");
    dialogs.queueConfirm(true);
    editor().ToolButton4->click();
    EXPECT_EQ(dialogs.shownTexts().last(),
              "Change server setings ?\nold:   alpha 127.0.0.1:8\nnew: Omega 127.0.0.1:7");
    editor().ListView1->clearSelection();
    for (int i = 0; i < editor().ListView1->rowCount(); ++i)
        if (ListView::caption(editor().ListView1->row(i)) == "Yankee")
            editor().ListView1->row(i)->setSelected(true);
    dialogs.queueConfirm(true);
    editor().ToolButton6->click();
    EXPECT_EQ(dialogs.shownTexts().last(), "Delete server: Yankee ?");
    for (int i = 0; i < 2; ++i) {
        editor().ListView3->clearSelection();
        for (int r = 0; r < editor().ListView3->rowCount(); ++r)
            editor().ListView3->row(r)->setSelected(ListView::caption(editor().ListView3->row(r)) == "Clan");
        editor().ListView3DblClick();
        editor().ListView2->row(0)->setSelected(true);
        editor().ListView2DblClick();
    }
    EXPECT_EQ(folder.read("Serverlists/Other"), test::crlf(records({{"Omega", "127.0.0.1", "7"},
                                                                    {"Zeta", "127.0.0.1", "9"},
                                                                    {"Zulu", "127.0.0.1", "3"},
                                                                    {"Zulu", "127.0.0.1", "3"}})));
    // Another list's save leaves the main window's server box alone.
    EXPECT_EQ(box(), (QStringList{"Alpha", "Bravo"}));
    editor().hide();
    EXPECT_TRUE(options().isVisible());
}

TEST_F(ListManagement, EditorSaveOfTheCurrentListRefillsTheServerBox)
{
    startWithLists();
    selectList("Standard");
    options().editlist1->trigger();
    editor().LabeledEdit1->setText("Charlie");
    editor().LabeledEdit2->setText("127.0.0.1");
    editor().LabeledEdit3->setText("6");
    editor().ToolButton5->click();
    EXPECT_EQ(box(), (QStringList{"Alpha", "Bravo", "Charlie"}));
    EXPECT_EQ(form1().ComboBoxEx1->currentText(), "Standard");
    EXPECT_EQ(test::columnTexts(form1().ListView3, 2), (QStringList{"Alpha", "Bravo"}))
        << "the table keeps its rows";
}

TEST_F(ListManagement, FailedEditorSavesLeaveTheOldListWhole)
{
    startWithLists();
    selectList("Clan");
    options().editlist1->trigger();
    const std::string before = folder.read("Serverlists/Clan");
    {
        FileSizeLimit limit(8);
        editor().LabeledEdit1->setText("A much longer server name than eight bytes");
        editor().LabeledEdit2->setText("127.0.0.1");
        editor().LabeledEdit3->setText("6");
        editor().ToolButton5->click();
    }
    EXPECT_EQ(folder.read("Serverlists/Clan"), before);
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].kind, "error");

    // A list that is there but cannot be read is never saved over.
    dialogs.clear();
    editor().hide();
    QDir(folder.path()).mkpath("Serverlists/Broken");
    editor().openList("Broken");
    EXPECT_EQ(dialogs.shown().size(), 1);
    editor().LabeledEdit1->setText("x");
    editor().LabeledEdit2->setText("127.0.0.1");
    editor().LabeledEdit3->setText("6");
    editor().ToolButton5->click();
    EXPECT_EQ(dialogs.shown().size(), 2);
    EXPECT_TRUE(QFileInfo(folder.path() + "/Serverlists/Broken").isDir());
}

TEST_F(ListManagement, ExportAndImportThroughTheWindowGiveTheSameList)
{
    startWithLists();
    folder.writeLines("Passwords.txt", {"// Korvane 1.11 password list", "//", "", "127.0.0.12", "pw",
                                        "127.0.0.12", "rcon:secret"});
    QDir(folder.path()).mkpath("out");
    const QString target = folder.path() + "/out/Standard";
    selectList("Standard");
    dialogs.queueFileName(target);
    options().exportsslf1->trigger();
    const std::string exported = folder.read("out/Standard.sslf");
    EXPECT_NE(exported.find("Server=MoHAA 127.0.0.1:2 pw \"Bravo\"\r\n"), std::string::npos) << exported;
    EXPECT_EQ(exported.find("secret"), std::string::npos);

    // Exporting onto the same file asks first; No leaves it alone.
    folder.write("out/Standard.sslf", "mine");
    dialogs.queueFileName(target);
    dialogs.queueConfirm(false);
    options().exportsslf1->trigger();
    EXPECT_EQ(dialogs.shownTexts().last(), "File Standard.sslf exists. Replace it ?");
    EXPECT_EQ(folder.read("out/Standard.sslf"), "mine");

    folder.write("out/Copy.sslf", exported);
    dialogs.queueFileName(folder.path() + "/out/Copy.sslf");
    dialogs.queueConfirm(true);
    options().Button7->click();
    EXPECT_EQ(dialogs.shownTexts().last(), "Import HLSW list ?");
    EXPECT_TRUE(lists().contains("Copy"));
    EXPECT_EQ(folder.read("Serverlists/Copy"), folder.read("Serverlists/Standard"));

    folder.write("out/ase.txt", "A|b:c|127.0.0.1:12203\r\n");
    dialogs.queueFileName(folder.path() + "/out/ase.txt");
    dialogs.queueConfirm(true);
    options().Button5->click();
    EXPECT_EQ(dialogs.shownTexts().last(), "Sure text is formated: Name|Ip:Port ?");
    EXPECT_EQ(folder.read("Serverlists/ase"), test::crlf({"A|b:c", "127.0.0.1", "12203"}));
    EXPECT_TRUE(lists().contains("ase"));
    EXPECT_EQ(form1().state.CurrentList, "Serverlists\\Standard") << "imports never change the current list";
}

TEST_F(ListManagement, TextWithoutALatin1FormIsRefusedWhereItIsTyped)
{
    startWithLists();
    options().LabeledEdit1->clear();
    for (const QChar c : QString::fromUtf8("J\xc3\xb6rg\xd0\x96")) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(options().LabeledEdit1, &key);
    }
    EXPECT_EQ(options().LabeledEdit1->text(), QString::fromUtf8("J\xc3\xb6rg"));
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_TRUE(dialogs.shown()[0].text.contains(QString::fromUtf8("\xd0\x96")));
    options().hide();
    EXPECT_EQ(config()[3], "J\xf6rg");
}

TEST_F(ListManagement, ListNamesKeepTheirBytesThroughEveryWindow)
{
    struct Case
    {
        std::string bytes; // the list file's name
        QString shown;
        std::string setting; // Config line 2 after "Serverlists\"; "" when it cannot be kept
    };
    const Case cases[] = {
        {"Caf\xE9", u"Café"_s, "Caf\xE9"},           // from an old Windows install
        {"\xC3\x96re", u"Öre"_s, "\xD6re"},          // UTF-8
        {"\x8Aimon", u"Šimon"_s, "\x8Aimon"},        // Windows-1252 letter
        {"\xE5\x90\x8D\xE5\x89\x8D", u"名前"_s, ""}, // not Western text
    };
    for (const Case& c : cases) {
        forms.reset();
        folder.writeLines("Serverlists/" + c.bytes, records({{"Zulu", "127.0.0.1", "3"}}));
        startWithLists();
        ASSERT_TRUE(lists().contains(c.shown)) << lists().join(',').toStdString();

        selectList(c.shown);
        options().editlist1->trigger();
        editor().LabeledEdit1->setText("Alpha");
        editor().LabeledEdit2->setText("127.0.0.1");
        editor().LabeledEdit3->setText("1");
        editor().ToolButton5->click();
        editor().hide();
        EXPECT_EQ(folder.read("Serverlists/" + c.bytes),
                  test::crlf(records({{"Alpha", "127.0.0.1", "1"}, {"Zulu", "127.0.0.1", "3"}})));
        EXPECT_EQ(folder.files("Serverlists").size(), 4u) << "no second file";
        EXPECT_TRUE(dialogs.shown().isEmpty()) << dialogs.shownTexts().join('|').toStdString();

        selectList(c.shown);
        options().selectlist1->trigger();
        if (c.setting.empty()) {
            ASSERT_EQ(dialogs.shown().size(), 1);
            EXPECT_TRUE(dialogs.shown()[0].text.contains(c.shown));
            EXPECT_EQ(form1().state.CurrentList, "Serverlists\\Standard");
            dialogs.clear();
        } else {
            form1().ToolButton9Click();
            EXPECT_EQ(form1().state.CurrentList, "Serverlists\\" + c.bytes);
            EXPECT_EQ(form1().statusText(), "2 servers in Serverlists\\" + c.shown);
            EXPECT_EQ(config()[1], "Serverlists\\" + c.setting);
            build(); // a restart finds the same file
            EXPECT_EQ(form1().state.CurrentList, "Serverlists\\" + c.bytes);
            EXPECT_EQ(column(2), (QStringList{"Alpha", "Zulu"}));
        }
        std::filesystem::remove(folder.file("Serverlists/" + c.bytes));
    }
}

TEST_F(ListManagement, NewAndImportedListNamesAreCheckedWhereTheyAreChosen)
{
    struct Case
    {
        QString name;
        std::string file; // "" when refused
    };
    const Case cases[] = {
        {u"Café"_s, "Caf\xC3\xA9"},
        {QString(250, u'x'), std::string(250, 'x')},
        {u"名前"_s, ""},          // the settings file could not keep it
        {QString(128, u'é'), ""}, // 256 bytes: too long for a file name
    };
    for (const Case& c : cases)
        for (const char* how : {"new", "SSLF", "ASE"}) {
            forms.reset();
            startWithLists();
            const std::string source = "out/" + c.name.toStdString() + (how[0] == 'A' ? ".txt" : ".sslf");
            folder.write(source, how[0] == 'A' ? "Alpha|127.0.0.1:1\r\n"
                                               : "Server=MoHAA 127.0.0.1:1 \"\" \"Alpha\"\r\n");
            if (how[0] == 'n') {
                dialogs.queueFileName(folder.path() + "/Serverlists/" + c.name);
                options().newlist1->trigger();
            } else {
                dialogs.queueFileName(folder.path() + "/" + QString::fromStdString(source));
                dialogs.queueConfirm(true);
                (how[0] == 'S' ? options().Button7 : options().Button5)->click();
            }
            if (c.file.empty()) {
                EXPECT_TRUE(dialogs.shownTexts().last().contains(c.name)) << how;
                EXPECT_EQ(folder.files("Serverlists"),
                          (std::vector<std::string>{"Clan", "Other", "Standard"}));
                EXPECT_FALSE(editor().isVisible());
            } else {
                for (const test::ShownBox& box : dialogs.shown())
                    EXPECT_NE(box.kind, "error") << how << box.text.toStdString();
                if (how[0] == 'n') {
                    editor().LabeledEdit1->setText("Alpha");
                    editor().LabeledEdit2->setText("127.0.0.1");
                    editor().LabeledEdit3->setText("1");
                    editor().ToolButton5->click();
                }
                EXPECT_EQ(folder.read("Serverlists/" + c.file),
                          test::crlf(records({{"Alpha", "127.0.0.1", "1"}})))
                    << how;
                EXPECT_EQ(folder.files("Serverlists").size(), 4u) << how;
            }
            dialogs.clear();
            for (const std::string& name : folder.files("Serverlists"))
                if (name != "Clan" && name != "Other" && name != "Standard")
                    std::filesystem::remove(folder.file("Serverlists/" + name));
        }
}

TEST_F(ListManagement, ImportsOfDifferentFilesNeverMeetSilently)
{
    startWithLists();
    // "Café.txt" names the list an old install keeps as "Caf\xE9": asked first.
    folder.write("Serverlists/Caf\xE9", "keep\r\n");
    folder.write("out/Caf\xC3\xA9.txt", "Alpha|127.0.0.1:1\r\n");
    for (bool yes : {false, true}) {
        dialogs.queueFileName(folder.path() + u"/out/Café.txt"_s);
        dialogs.queueConfirm(true);
        dialogs.queueConfirm(yes);
        options().Button5->click();
        EXPECT_EQ(dialogs.shownTexts().last(), u"List Café exists. Replace it ?"_s);
        EXPECT_EQ(folder.read("Serverlists/Caf\xE9"),
                  yes ? test::crlf({"Alpha", "127.0.0.1", "1"}) : "keep\r\n");
        EXPECT_FALSE(folder.exists("Serverlists/Caf\xC3\xA9"));
    }
}

TEST_F(ListManagement, ChosenGamePathsAreKeptByTheirBytes)
{
    startWithLists();
    const std::string game = "Spiele/\xC3\x84rger/MOHAA.exe";
    folder.write(game, "");
    dialogs.queueFileName(folder.path() + u"/Spiele/Ärger/MOHAA.exe"_s);
    options().Button3->click();
    EXPECT_EQ(form1().state.AAPath, folder.file(game));
    EXPECT_EQ(options().LabeledEdit3->text(), folder.path() + u"/Spiele/Ärger/MOHAA.exe"_s);
    options().hide();
    EXPECT_EQ(config()[5], folder.file("Spiele/\xC4rger/MOHAA.exe"));
    build();
    EXPECT_EQ(form1().state.AAPath, folder.file(game)) << "read back as the same file";

    // A path the settings file cannot keep is refused, and the old one stays.
    options().show();
    dialogs.queueFileName(folder.path() + u"/名前/MOHAA.exe"_s);
    options().Button3->click();
    EXPECT_EQ(dialogs.shown().last().kind, "message");
    EXPECT_TRUE(dialogs.shown().last().text.contains(u"名前"_s));
    EXPECT_EQ(form1().state.AAPath, folder.file(game));
}

TEST_F(ListManagement, EditorFieldsAndSelectionStayInStepAfterADelete)
{
    startWithLists();
    selectList("Standard");
    options().editlist1->trigger();
    QTest::mouseClick(editor().ListView1->viewport(), Qt::LeftButton, {},
                      editor().ListView1->visualItemRect(editor().ListView1->row(0)).center());
    EXPECT_EQ(editor().LabeledEdit1->text(), "Alpha");
    dialogs.queueConfirm(true);
    editor().ToolButton6->click();
    EXPECT_EQ(editor().ListView1->selectedRow(), nullptr) << "no row stands for the fields' deleted server";
    editor().ToolButton4->click(); // "change" has nothing to change
    EXPECT_EQ(dialogs.shownTexts(), QStringList{"Delete server: Alpha ?"});
    EXPECT_EQ(folder.read("Serverlists/Standard"), test::crlf(records({{"Bravo", "127.0.0.1", "2"}})));
}

TEST_F(ListManagement, AButtonForAnOpenWindowBringsItToTheFront)
{
    startWithLists();
    const std::pair<QToolButton*, QWidget*> cases[] = {{form1().ToolButton4, forms->Form3},
                                                       {form1().ToolButton2, forms->Form2},
                                                       {form1().ToolButton5, forms->Form4},
                                                       {form1().ToolButton6, forms->Form6}};
    for (const auto& [button, window] : cases) {
        window->show();
        form1().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form1()));
        button->click();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window)) << window->objectName().toStdString();
    }
}

// A question runs an event loop of its own, where the auto-scan timer can start
// a scan; Yes then changes nothing that a scan refuses to have changed.
TEST_F(ListManagement, AScanStartedWhileAQuestionIsOpenTurnsYesIntoNo)
{
    startWithLists();
    folder.write("Buddys.txt", "Bob\r\n");
    folder.write("out/x.sslf", "");
    folder.write("out/x.txt", "A|127.0.0.1:5\r\n");
    const auto files = [&] {
        std::vector<std::string> all{folder.read("Buddys.txt")};
        for (const std::string& name : folder.files("Serverlists"))
            all.push_back(name + ":" + folder.read("Serverlists/" + name));
        return all;
    };
    const std::vector<std::string> before = files();
    // Yes to the question the action asks, while the auto-scan starts a scan.
    const auto yesDuringAScan = [&](const char* what, const std::function<void()>& action) {
        dialogs.queueConfirm(true);
        dialogs.whileNextOpen([&] {
            form1().Timer1->start(0);
            EXPECT_TRUE(QTest::qWaitFor([&] { return form1().state.Scanning.load(); }));
            form1().Timer1->stop();
        });
        action();
        EXPECT_TRUE(form1().state.Scanning) << what;
        EXPECT_EQ(files(), before) << what;
        EXPECT_EQ(column(2), (QStringList{"Alpha", "Bravo"})) << what;
        form1().ToolButton9Click();
        options().show();
    };
    form1().ListView3->row(0)->setSelected(true);
    yesDuringAScan("delete server", [&] { form1().deleteserver1->trigger(); });
    selectList("Clan");
    yesDuringAScan("delete list", [&] { options().deleteserver1->trigger(); });
    dialogs.queueFileName(folder.path() + "/elsewhere/Clan");
    yesDuringAScan("new list over another", [&] { options().newlist1->trigger(); });
    dialogs.queueFileName(folder.path() + "/out/x.sslf");
    yesDuringAScan("import SSLF", [&] { options().Button7->click(); });
    dialogs.queueFileName(folder.path() + "/out/x.txt");
    yesDuringAScan("import ASE", [&] { options().Button5->click(); });
    selectList("Other");
    options().editlist1->trigger();
    editor().ListView1->row(0)->setSelected(true);
    yesDuringAScan("editor: delete server", [&] { editor().ToolButton6->click(); });
    yesDuringAScan("delete all buddies", [&] { forms->Form2->Deleteallbuddys1->trigger(); });
}
