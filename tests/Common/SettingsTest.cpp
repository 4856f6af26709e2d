// The settings file: defaults, round trip, files written by others or damaged.
#include "Common/AppPath.h"
#include "Common/AppSettings.h"
#include "Common/ConfigXMLPersistImp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kKeys = {
    "User", "LoginIp", "Port", "SearchBoadcast", "SearchByIp", "SearchIpS", "SearchIpE",
    "IpTypeFilter", "DevTypeFilter", "SDKMethod", "Language", "nUpdateTimeout_Minute",
    "nUpdateWaittime_Sec", "BroadcastPort", "PasswordResetXmlFlag", "DownloadPath", "CloudURL",
    "CloudEnable", "NoticePassword", "NoticeCloud"};

class Settings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        SFSetAppPathForTest(m_dir.path().toStdWString());
        m_file = m_dir.path() + "/Config/config.xml";
    }
    void TearDown() override { CAppSettings::SetPersister(nullptr); }

    void Write(const std::string& text)
    {
        QDir(m_dir.path()).mkpath("Config");
        QFile f(m_file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), qint64(text.size()));
    }
    std::string Read()
    {
        QFile f(m_file);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }
    void Load()
    {
        m_persister = std::make_unique<CConfigXMLPersistImp>("");
        CAppSettings::SetPersister(m_persister.get());
        CAppSettings::Load();
    }

    QTemporaryDir m_dir;
    QString m_file;
    std::unique_ptr<CConfigXMLPersistImp> m_persister;
};

void ExpectDefaults()
{
    EXPECT_EQ(37777, CAppSettings::Port);
    EXPECT_EQ(20, CAppSettings::nUpdateTimeout_Minute);
    EXPECT_EQ(30, CAppSettings::nUpdateWaittime_Sec);
    EXPECT_EQ(5050, CAppSettings::BroadcastPort);
    EXPECT_TRUE(CAppSettings::NoticePassword);
    EXPECT_TRUE(CAppSettings::NoticeCloud);
    EXPECT_EQ(L"", CAppSettings::User);
    EXPECT_EQ(L"", CAppSettings::CloudURL);
    EXPECT_EQ(0, CAppSettings::Language);
    EXPECT_EQ(0, CAppSettings::SDKMethod);
    EXPECT_FALSE(CAppSettings::SearchBoadcast);
    EXPECT_FALSE(CAppSettings::CloudEnable);
    EXPECT_FALSE(CAppSettings::PasswordResetXmlFlag);
}

TEST_F(Settings, MissingFileGivesDefaultsAndSaveWritesTheTwentyItems)
{
    Load();
    ExpectDefaults();
    ASSERT_TRUE(CAppSettings::SaveConfig());

    const std::string text = Read();
    EXPECT_EQ(0u, text.find("<Setting>\n    <UIConfig>\n        <User value=\"\" Default=\"\" />\n"));
    TiXmlDocument doc;
    doc.Parse(text.c_str());
    ASSERT_FALSE(doc.Error());
    const TiXmlElement* section = doc.RootElement()->FirstChildElement("UIConfig");
    ASSERT_TRUE(section);
    std::vector<std::string> keys;
    for (const TiXmlElement* e = section->FirstChildElement(); e; e = e->NextSiblingElement())
        keys.push_back(e->Value());
    EXPECT_EQ(kKeys, keys);
    EXPECT_NE(std::string::npos,
              text.find("<Port value=\"37777\" Default=\"37777\" Min=\"0\" Max=\"0\" Scale=\"0\" />"));
    EXPECT_NE(std::string::npos, text.find("<NoticeCloud value=\"1\" Default=\"1\" Min=\"0\" Max=\"1\" />"));
    EXPECT_EQ(std::string::npos, text.find("<?xml"));
    EXPECT_EQ(std::string::npos, text.find("<Password "));
}

TEST_F(Settings, RoundTripKeepsEveryPersistedValue)
{
    Load();
    CAppSettings::User = L"admin";
    CAppSettings::Password = L"secret";
    CAppSettings::LocalIp = L"127.0.0.1";
    CAppSettings::DownloadPath = L"/tmp/Größe/下载";
    CAppSettings::Port = 40000;
    CAppSettings::Language = 1;
    CAppSettings::SearchByIp = true;
    CAppSettings::NoticeCloud = false;
    CAppSettings::CloudURL = L"http://127.0.0.1:8080/a?b=<c>&d=\"e\"";
    ASSERT_TRUE(CAppSettings::SaveConfig());
    EXPECT_NE(std::string::npos, Read().find("Größe/下载"));

    CAppSettings::User.clear();
    CAppSettings::DownloadPath.clear();
    CAppSettings::Port = 0;
    Load();
    EXPECT_EQ(L"admin", CAppSettings::User);
    EXPECT_EQ(L"/tmp/Größe/下载", CAppSettings::DownloadPath);
    EXPECT_EQ(40000, CAppSettings::Port);
    EXPECT_EQ(1, CAppSettings::Language);
    EXPECT_TRUE(CAppSettings::SearchByIp);
    EXPECT_FALSE(CAppSettings::NoticeCloud);
    EXPECT_EQ(L"http://127.0.0.1:8080/a?b=<c>&d=\"e\"", CAppSettings::CloudURL);
    EXPECT_EQ(L"secret", CAppSettings::Password);
}

TEST_F(Settings, FilesFromElsewhereAreReadByTheirRootElement)
{
    struct Case {
        const char* name;
        std::string text;
        int port;
        bool cloud;
    } cases[] = {
        {"declaration", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Setting><UIConfig><Port value=\"1234\"/>"
                        "<CloudEnable value=\"yes\"/></UIConfig></Setting>", 1234, true},
        {"comment first", "<!-- edited by hand --><Setting><UIConfig><Port value=\"99\"/>"
                          "<CloudEnable value=\"TRUE\"/></UIConfig></Setting>", 99, true},
        {"no value attribute", "<Setting><UIConfig><Port Default=\"5\"/><CloudEnable value=\"no\"/></UIConfig></Setting>",
         37777, false},
        {"bad number", "<Setting><UIConfig><Port value=\"abc\"/><CloudEnable value=\"maybe\"/></UIConfig></Setting>",
         37777, false},
        {"foreign root", "<Other><UIConfig><Port value=\"7\"/></UIConfig></Other>", 7, false},
        {"not xml", "\x01\x02 this is not <xml", 37777, false},
        {"truncated", "<Setting><UIConfig><Port value=\"8\"/>", 37777, false},
        {"empty", "", 37777, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Write(c.text);
        Load();
        EXPECT_EQ(c.port, CAppSettings::Port);
        EXPECT_EQ(c.cloud, CAppSettings::CloudEnable);
        EXPECT_EQ(5050, CAppSettings::BroadcastPort);
    }
}

TEST_F(Settings, SaveKeepsOtherSectionsAndMovesUIConfigLast)
{
    Write("<?xml version=\"1.0\" ?>\n<Setting>\n    <UIConfig>\n        <Port value=\"1\" />\n    </UIConfig>\n"
          "    <APPConfig>\n        <App Name=\"Tool\" Path=\"a/b\" />\n    </APPConfig>\n</Setting>\n");
    Load();
    EXPECT_EQ(1, CAppSettings::Port);
    CAppSettings::Port = 2;
    ASSERT_TRUE(CAppSettings::SaveConfig());
    ASSERT_TRUE(CAppSettings::SaveConfig());

    TiXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(m_file.toStdString().c_str()));
    const TiXmlElement* root = doc.RootElement();
    ASSERT_STREQ("Setting", root->Value());
    std::vector<std::string> sections;
    for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement())
        sections.push_back(e->Value());
    EXPECT_EQ((std::vector<std::string>{"APPConfig", "UIConfig"}), sections);
    const TiXmlElement* app = root->FirstChildElement("APPConfig")->FirstChildElement("App");
    ASSERT_TRUE(app);
    EXPECT_STREQ("a/b", app->Attribute("Path"));
    Load();
    EXPECT_EQ(2, CAppSettings::Port);
}

TEST_F(Settings, DamagedFileIsKeptAsideAndTheUserIsToldWhich)
{
    std::string deep;
    for (int i = 0; i < 40000; ++i)
        deep += "<a>";
    struct Case {
        const char* name;
        std::string text;
        const char* kept;    // the name it is kept under
        const char* reason;  // part of the message
    } cases[] = {
        {"unclosed", "<Setting><APPConfig><App Name=\"x\"/></APPConfig>", ".bad", "could not be read"},
        {"nested 40000 deep", "<Setting>" + deep, ".bad2", "nested more than 256 levels"},
        {"not XML", "\x01\x02 binary", ".bad3", "could not be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write(c.text);
        Load();
        ExpectDefaults();
        const std::string& problem = CAppSettings::LoadProblem();
        EXPECT_NE(problem.find(m_file.toStdString()), std::string::npos) << problem;
        EXPECT_NE(problem.find(c.reason), std::string::npos) << problem;
        EXPECT_NE(problem.find(m_file.toStdString() + c.kept), std::string::npos) << problem;
        QFile bad(m_file + c.kept);
        ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
        EXPECT_EQ(bad.readAll().toStdString(), c.text) << "earlier files kept aside stay as they were";
        ASSERT_TRUE(CAppSettings::SaveConfig());
        Load();
        EXPECT_EQ(CAppSettings::LoadProblem(), "");
    }
}

TEST_F(Settings, FailedSaveReportsAndLeavesNoPartialFile)
{
    // "Config" is a plain file: the settings file cannot be created.
    QFile blocker(m_dir.path() + "/Config");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Load();
    EXPECT_FALSE(CAppSettings::SaveConfig());
    EXPECT_FALSE(QFile::exists(m_file));
    EXPECT_FALSE(QFile::exists(m_file + ".tmp"));
}

TEST_F(Settings, SaveCreatesTheConfigFolder)
{
    EXPECT_FALSE(QDir(m_dir.path() + "/Config").exists());
    Load();
    EXPECT_TRUE(CAppSettings::SaveConfig());
    EXPECT_TRUE(QFile::exists(m_file));
}

TEST(ConfigItem, IntegerLimitsClampWithScale)
{
    CConfigXMLPersistImp store("");
    struct Case {
        const char* value;
        int expected;
    } cases[] = {{"25", 20}, {"1", 2}, {"0", 2}, {"5", 5}, {"-1", 20}};
    for (const auto& c : cases) {
        store.LoadFromText((std::string("<S><UIConfig><N value=\"") + c.value + "\"/></UIConfig></S>").c_str());
        int32_t target = 0;
        CConfigItem item(L"UIConfig", L"N", &target, 0, 2, 1, 10);
        item.Load(&store);
        EXPECT_EQ(c.expected, target) << c.value;
    }
}

} // namespace
