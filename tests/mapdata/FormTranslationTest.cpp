// Translating a window's texts from a Windows-1251 language file, through both
// helper units' translators.

#include "mapdata/MapFunctions.h"
#include "mapdata/VykFunctions.h"
#include "mapdata/ui/FormTranslation.h"
#include "platform/ui/FormClass.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

using platform::RegRoot;
using platform::Registry;

namespace {

const QString LanguageKey = QStringLiteral("\\SOFTWARE\\Quillery 6");

using Translator = std::function<void(const QString &)>;

struct Twin {
    const char *name;
    Translator translate;
};

const Twin VykTwin{"VykFunctions", [](const QString &n) { VykFunctions::TranslateForm(n); }};
const Twin MapTwin{"MapFunctions", [](const QString &n) { MapFunctions::TranslateForm(n); }};

QString u8(const char *s) { return QString::fromUtf8(s); }

// A language file as the system keeps it: Windows-1251 with CRLF line ends.
QByteArray lngFile(const QString &text)
{
    QByteArray out = platform::toCp1251(text);
    out.replace("\n", "\r\n");
    return out;
}

// The test window: one control of each class the translation knows, plus
// controls it must leave alone.
struct TestForm {
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    QLabel *label1, *label2, *myLabel, *plain, *childLabel;
    QLineEdit *edit1;
    QPushButton *bitBtn;
    QToolButton *toolButton, *speedButton;
    QMenu *nFile;
    QAction *nFileOpen, *aSave;
    QTabWidget *pages;
    QTabBar *tabControl;
    QStatusBar *statusBar;
    QLabel *notAPanel;
    QStandardItemModel *gridModel;
    QGroupBox *radioGroup, *dbRadioGroup;
    QWidget *child;

    explicit TestForm(const char *name = "TestForm", const char *parentClass = "TForm")
    {
        QWidget *f = form.get();
        f->setObjectName(QString::fromLatin1(name));
        platform::tagForm(f, "TTestForm", parentClass);
        f->setWindowTitle(QStringLiteral("Window"));

        const auto make = [](QObject *o, const char *objectName, const char *cls) {
            o->setObjectName(QString::fromLatin1(objectName));
            if (cls)
                platform::setFormClass(o, cls);
        };
        label1 = new QLabel(QStringLiteral("Label one"), f);
        make(label1, "Label1", "TLabel");
        label2 = new QLabel(QStringLiteral("Label two"), f);
        make(label2, "Label2", "TLabel");
        myLabel = new QLabel(QStringLiteral("Derived label"), f);
        make(myLabel, "MyLabel1", "TMyLabel");
        plain = new QLabel(QStringLiteral("Untagged"), f);
        make(plain, "Plain1", nullptr);
        edit1 = new QLineEdit(QStringLiteral("Edit text"), f);
        make(edit1, "Edit1", "TEdit");
        bitBtn = new QPushButton(QStringLiteral("OK"), f);
        make(bitBtn, "BitBtn1", "TBitBtn");
        toolButton = new QToolButton(f);
        toolButton->setText(QStringLiteral("Tool"));
        toolButton->setToolTip(QStringLiteral("Tool hint"));
        make(toolButton, "ToolButton1", "TToolButton");
        speedButton = new QToolButton(f);
        speedButton->setText(QStringLiteral("Speed"));
        speedButton->setToolTip(QStringLiteral("Speed hint"));
        make(speedButton, "SpeedButton1", "TSpeedButton");

        auto *menuBar = new QMenuBar(f);
        nFile = menuBar->addMenu(QStringLiteral("File"));
        make(nFile, "nFile", "TMenuItem");
        nFileOpen = nFile->addAction(QStringLiteral("Open..."));
        make(nFileOpen, "nFileOpen", "TMenuItem");
        aSave = new QAction(QStringLiteral("Save"), f);
        aSave->setToolTip(QStringLiteral("Save hint"));
        make(aSave, "aSave", "TAction");

        pages = new QTabWidget(f);
        for (const char *sheet : {"TabSheet1", "TabSheet2"}) {
            auto *page = new QWidget;
            make(page, sheet, "TTabSheet");
            pages->addTab(page, QString::fromLatin1(sheet) + QStringLiteral(" text"));
        }
        tabControl = new QTabBar(f);
        make(tabControl, "TabControl1", "TTabControl");
        for (const char *t : {"Tab A", "Tab B", "Tab C"})
            tabControl->addTab(QString::fromLatin1(t));

        statusBar = new QStatusBar(f);
        make(statusBar, "StatusBar1", "TStatusBar");
        notAPanel = new QLabel(QStringLiteral("Not a panel"), statusBar);
        statusBar->addWidget(notAPanel);
        platform::addStatusPanel(statusBar, QStringLiteral("Panel A"));
        platform::addStatusPanel(statusBar, QStringLiteral("Panel B"), 1);

        auto *grid = new QTableView(f);
        make(grid, "DBGrid1", "TDBGrid");
        gridModel = new QStandardItemModel(0, 3, grid);
        gridModel->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Area"), QStringLiteral("Code")});
        grid->setModel(gridModel);

        radioGroup = new QGroupBox(QStringLiteral("Group"), f);
        make(radioGroup, "RadioGroup1", "TRadioGroup");
        for (const char *t : {"Yes", "No", "Maybe"})
            new QRadioButton(QString::fromLatin1(t), radioGroup);
        dbRadioGroup = new QGroupBox(QStringLiteral("DB group"), f);
        make(dbRadioGroup, "DBRadioGroup1", "TDBRadioGroup");
        for (const char *t : {"First", "Second"})
            new QRadioButton(QString::fromLatin1(t), dbRadioGroup);

        // A window inside the test form (as a map window sits in the frame): its
        // controls are its own, not the form's.
        child = new QWidget(f);
        make(child, "ChildForm", nullptr);
        platform::tagForm(child, "TChildForm", "TForm");
        childLabel = new QLabel(QStringLiteral("Child label"), child);
        make(childLabel, "ChildLabel", "TLabel");
    }

    QString tabSheet(int i) const { return pages->tabText(i); }
    QString header(int i) const { return gridModel->headerData(i, Qt::Horizontal).toString(); }
    QString panel(int i) const { return platform::statusPanels(statusBar).at(i)->text(); }
    QString item(QGroupBox *g, int i) const { return platform::radioGroupItems(g).at(i)->text(); }
};

// Every test gets a settings store and a folder of its own.
class FormTranslationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = Registry::instance().storageFile();
        Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
        QDir(dir_.path()).mkpath(QStringLiteral("lang"));
    }
    void TearDown() override { Registry::instance().setStorageFile(previous_); }

    void setLanguage(std::optional<QString> language, std::optional<QString> folder)
    {
        Registry &reg = Registry::instance();
        if (language) {
            ASSERT_TRUE(reg.writeString(RegRoot::LocalMachine, LanguageKey, u"Language", *language));
        }
        if (folder) {
            ASSERT_TRUE(reg.writeString(RegRoot::LocalMachine, LanguageKey, u"PathWorkFiles", *folder));
        }
    }
    // The folder the tests keep their language files in, written the way a
    // Windows setting would be: with a trailing backslash.
    QString langFolder() const { return dir_.file(QStringLiteral("lang")) + u'\\'; }
    void writeLng(const QString &name, const QByteArray &bytes) const
    {
        dir_.write(QStringLiteral("lang/") + name, bytes);
    }
    void writeLanguagePair() const
    {
        writeLng(QStringLiteral("ukraine.lng"), lngFile(u8("[TestForm]\nLabel1.Caption=Мітка\n")));
        writeLng(QStringLiteral("russian.lng"), lngFile(u8("[TestForm]\nLabel1.Caption=Метка\n")));
    }

    testsupport::TempFolder dir_;
    QString previous_;
};

// The full Ukrainian file for the test form.
QByteArray fullUkrainianFile()
{
    QByteArray out = lngFile(u8("; interface texts\n"
                                "[OtherForm]\n"
                                "Label2.Caption=Чужа секція\n"
                                "[TestForm]\n"
                                "Caption=Тестове вікно\n"
                                "Label1.Caption=Мітка\n"
                                "MyLabel1.Caption=Похідний клас\n"
                                "Plain1.Caption=Без класу\n"
                                "ChildLabel.Caption=Чуже вікно\n"
                                "Edit1.Text=Текст\n"
                                "BitBtn1.Caption=Гаразд\n"
                                "ToolButton1.Hint=Підказка інструмента\n"
                                "ToolButton1.Caption=Не змінюється\n"
                                "SpeedButton1.Hint=Швидка підказка\n"
                                "SpeedButton1.Caption=Швидка\n"
                                "nFileOpen.Caption=Відкрити...\n"
                                "aSave.Caption=Зберегти\n"
                                "aSave.Hint=Не змінюється\n"
                                "TabSheet1.Caption=Перша\n"
                                "TabSheet2.Caption=Друга\n"
                                "TabControl1.Tabs[0]=Нуль\n"
                                "TabControl1.Tabs[1]=Один\n"
                                "TabControl1.Tabs[2]=Два\n"
                                "TabControl1.Tabs[3]=Зайвий\n"
                                "StatusBar1.Panels[0].Text=Панель нуль\n"
                                "StatusBar1.Panels[1].Text=Панель один\n"
                                "DBGrid1.Columns[0].Title.Caption=Назва\n"
                                "DBGrid1.Columns[1].Title.Caption=Площа\n"
                                "RadioGroup1.Items[0]=Так\n"
                                "RadioGroup1.Items[2]=Можливо\n"
                                "DBRadioGroup1.Items[1]=Другий\n"));
    // "Файл" in Windows-1251, byte by byte.
    out += QByteArray("nFile.Caption=\xD4\xE0\xE9\xEB\r\n");
    return out;
}

} // namespace

TEST_F(FormTranslationTest, TranslatesEveryKnownControlClass)
{
    for (const Twin &twin : {VykTwin, MapTwin}) {
        SCOPED_TRACE(twin.name);
        writeLng(QStringLiteral("ukraine.lng"), fullUkrainianFile());
        setLanguage(QStringLiteral("1"), langFolder());
        TestForm t;
        twin.translate(QStringLiteral("TestForm"));

        EXPECT_EQ(t.form->windowTitle(), u8("Тестове вікно"));
        EXPECT_EQ(t.label1->text(), u8("Мітка"));
        EXPECT_EQ(t.label2->text(), QStringLiteral("Label two")); // key only in another section
        EXPECT_EQ(t.edit1->text(), u8("Текст"));
        EXPECT_EQ(t.nFile->title(), u8("Файл"));
        EXPECT_EQ(t.nFileOpen->text(), u8("Відкрити..."));
        // A tool button takes the hint only; a speed button hint and caption.
        EXPECT_EQ(t.toolButton->toolTip(), u8("Підказка інструмента"));
        EXPECT_EQ(t.toolButton->text(), QStringLiteral("Tool"));
        EXPECT_EQ(t.speedButton->toolTip(), u8("Швидка підказка"));
        EXPECT_EQ(t.speedButton->text(), u8("Швидка"));
        // An action takes its caption; its hint stays.
        EXPECT_EQ(t.aSave->text(), u8("Зберегти"));
        EXPECT_EQ(t.aSave->toolTip(), QStringLiteral("Save hint"));
        EXPECT_EQ(t.tabSheet(0), u8("Перша"));
        EXPECT_EQ(t.tabSheet(1), u8("Друга"));
        // Three tabs read the indices 0, 1 and 2; the key for a fourth adds nothing.
        ASSERT_EQ(t.tabControl->count(), 3);
        EXPECT_EQ(t.tabControl->tabText(0), u8("Нуль"));
        EXPECT_EQ(t.tabControl->tabText(1), u8("Один"));
        EXPECT_EQ(t.tabControl->tabText(2), u8("Два"));
        // Panels are counted among the panels only, not among other labels of the bar.
        EXPECT_EQ(t.panel(0), u8("Панель нуль"));
        EXPECT_EQ(t.panel(1), u8("Панель один"));
        EXPECT_EQ(t.notAPanel->text(), QStringLiteral("Not a panel"));
        EXPECT_EQ(t.header(0), u8("Назва"));
        EXPECT_EQ(t.header(1), u8("Площа"));
        EXPECT_EQ(t.header(2), QStringLiteral("Code"));
        EXPECT_EQ(t.item(t.radioGroup, 0), u8("Так"));
        EXPECT_EQ(t.item(t.radioGroup, 1), QStringLiteral("No"));
        EXPECT_EQ(t.item(t.radioGroup, 2), u8("Можливо"));
        EXPECT_EQ(t.item(t.dbRadioGroup, 0), QStringLiteral("First"));
        EXPECT_EQ(t.item(t.dbRadioGroup, 1), u8("Другий"));
        // The exact class decides: a derived class and an untagged control stay,
        // and so do the controls of a window the form holds.
        EXPECT_EQ(t.myLabel->text(), QStringLiteral("Derived label"));
        EXPECT_EQ(t.plain->text(), QStringLiteral("Untagged"));
        EXPECT_EQ(t.childLabel->text(), QStringLiteral("Child label"));
    }
}

TEST_F(FormTranslationTest, OnlyTheVykTranslatorTranslatesBitButtons)
{
    writeLng(QStringLiteral("ukraine.lng"), fullUkrainianFile());
    setLanguage(QStringLiteral("1"), langFolder());
    {
        TestForm t;
        MapFunctions::TranslateForm(QStringLiteral("TestForm"));
        EXPECT_EQ(t.bitBtn->text(), QStringLiteral("OK"));
        EXPECT_EQ(t.label1->text(), u8("Мітка"));
    }
    {
        TestForm t;
        VykFunctions::TranslateForm(QStringLiteral("TestForm"));
        EXPECT_EQ(t.bitBtn->text(), u8("Гаразд"));
    }
}

TEST_F(FormTranslationTest, CaptionOnlyForFormsDerivedStraightFromTForm)
{
    writeLng(QStringLiteral("ukraine.lng"),
             lngFile(u8("[DerivedForm]\nCaption=Заголовок\nLabel1.Caption=Мітка\n")));
    setLanguage(QStringLiteral("1"), langFolder());
    for (const Twin &twin : {VykTwin, MapTwin}) {
        SCOPED_TRACE(twin.name);
        TestForm t("DerivedForm", "TBaseForm");
        twin.translate(QStringLiteral("DerivedForm"));
        EXPECT_EQ(t.form->windowTitle(), QStringLiteral("Window"));
        EXPECT_EQ(t.label1->text(), u8("Мітка"));
    }
}

TEST_F(FormTranslationTest, LanguageSettingChoosesTheFile)
{
    enum Result { None, Ukrainian, Russian };
    struct Case {
        std::optional<const char *> language;
        Result vyk, map;
    };
    // The Vyk converter drops separators ("0.4" reads 4), the Map one rounds it (0).
    const Case cases[] = {
        {"1", Ukrainian, Ukrainian}, {"2", Russian, Russian},   {"17", Russian, Russian},
        {" 1 ", Ukrainian, Ukrainian}, {"0", None, None},       {"-1", None, None},
        {"", None, None},            {"   ", None, None},       {std::nullopt, None, None},
        {"0.4", Russian, None},      {"1.4", Russian, Ukrainian},
    };
    writeLanguagePair();
    for (const Case &c : cases) {
        for (const Twin &twin : {VykTwin, MapTwin}) {
            SCOPED_TRACE(std::string(twin.name) + " Language=" + (c.language ? *c.language : "<missing>"));
            Registry::instance().deleteKey(RegRoot::LocalMachine, LanguageKey);
            setLanguage(c.language ? std::optional<QString>(QString::fromLatin1(*c.language)) : std::nullopt,
                        langFolder());
            TestForm t;
            twin.translate(QStringLiteral("TestForm"));
            const Result expected = twin.name == VykTwin.name ? c.vyk : c.map;
            const QString want = expected == Ukrainian ? u8("Мітка")
                                 : expected == Russian ? u8("Метка")
                                                       : QStringLiteral("Label one");
            EXPECT_EQ(t.label1->text(), want);
        }
    }
}

TEST_F(FormTranslationTest, LanguageFolderSetting)
{
    writeLanguagePair();
    const QString plainFolder = dir_.file(QStringLiteral("lang"));
    for (const Twin &twin : {VykTwin, MapTwin}) {
        SCOPED_TRACE(twin.name);
        // With and without the trailing backslash, and with a slash.
        for (const QString &folder : {langFolder(), plainFolder, plainFolder + u'/'}) {
            SCOPED_TRACE(folder.toStdString());
            setLanguage(QStringLiteral("2"), folder);
            TestForm t;
            twin.translate(QStringLiteral("TestForm"));
            EXPECT_EQ(t.label1->text(), u8("Метка"));
        }
        // A folder without the file: nothing happens.
        setLanguage(QStringLiteral("2"), dir_.path() + QStringLiteral("\\nowhere\\"));
        TestForm t;
        twin.translate(QStringLiteral("TestForm"));
        EXPECT_EQ(t.label1->text(), QStringLiteral("Label one"));
    }
}

TEST_F(FormTranslationTest, MissingFolderSettingMeansFolderZeroOfTheCurrentFolder)
{
    QDir(dir_.path()).mkpath(QStringLiteral("run/0"));
    dir_.write(QStringLiteral("run/0/ukraine.lng"), lngFile(u8("[TestForm]\nLabel1.Caption=Мітка\n")));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.file(QStringLiteral("run"))));
    setLanguage(QStringLiteral("1"), std::nullopt);
    for (const Twin &twin : {VykTwin, MapTwin}) {
        SCOPED_TRACE(twin.name);
        TestForm t;
        twin.translate(QStringLiteral("TestForm"));
        EXPECT_EQ(t.label1->text(), u8("Мітка"));
    }
    // A blank setting is "0" for the Map translator, a folder named by the
    // blanks for the Vyk one.
    setLanguage(QStringLiteral("1"), QStringLiteral("  "));
    TestForm vyk;
    VykFunctions::TranslateForm(QStringLiteral("TestForm"));
    EXPECT_EQ(vyk.label1->text(), QStringLiteral("Label one"));
    MapFunctions::TranslateForm(QStringLiteral("TestForm"));
    EXPECT_EQ(vyk.label1->text(), u8("Мітка"));
    QDir::setCurrent(before);
}

TEST_F(FormTranslationTest, WindowIsFoundByNameWithoutRegardToCase)
{
    writeLanguagePair();
    setLanguage(QStringLiteral("1"), langFolder());
    for (const Twin &twin : {VykTwin, MapTwin}) {
        SCOPED_TRACE(twin.name);
        TestForm t;
        twin.translate(QStringLiteral("NoSuchForm"));
        EXPECT_EQ(t.label1->text(), QStringLiteral("Label one"));
        twin.translate(QStringLiteral("testform"));
        EXPECT_EQ(t.label1->text(), u8("Мітка"));
    }
}

TEST_F(FormTranslationTest, ChildWindowOfTheFrameIsFound)
{
    writeLng(QStringLiteral("ukraine.lng"), lngFile(u8("[ChildForm]\nCaption=Дочірнє\nChildLabel.Caption=Мітка\n")));
    setLanguage(QStringLiteral("1"), langFolder());
    TestForm t;
    MapFunctions::TranslateForm(QStringLiteral("ChildForm"));
    EXPECT_EQ(t.child->windowTitle(), u8("Дочірнє"));
    EXPECT_EQ(t.childLabel->text(), u8("Мітка"));
}

TEST_F(FormTranslationTest, NonStringLanguageValueRaises)
{
    writeLanguagePair();
    ASSERT_TRUE(Registry::instance().writeValue(RegRoot::LocalMachine, LanguageKey, u"Language",
                                                Registry::Value(quint32(1))));
    TestForm t;
    EXPECT_THROW(VykFunctions::TranslateForm(QStringLiteral("TestForm")), platform::RegistryError);
    EXPECT_THROW(MapFunctions::TranslateForm(QStringLiteral("TestForm")), platform::RegistryError);
    EXPECT_EQ(t.label1->text(), QStringLiteral("Label one"));
}
