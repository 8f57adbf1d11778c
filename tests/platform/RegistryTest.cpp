#include "platform/Registry.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Each test gets a store of its own and gives the shared one back.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = Registry::instance().storageFile();
        Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
    }
    void TearDown() override { Registry::instance().setStorageFile(previous_); }
    testsupport::TempFolder dir_;
    QString previous_;
};

} // namespace

TEST_F(RegistryTest, StringsPersistAndKeysIgnoreCase)
{
    Registry &reg = Registry::instance();
    ASSERT_TRUE(reg.writeString(RegRoot::LocalMachine, u"\\SOFTWARE\\Tolvane 2", u"LastOpenTvpFile",
                                QString::fromUtf8("C:\\Карты\\\"demo\".tvp")));
    EXPECT_TRUE(reg.keyExists(RegRoot::LocalMachine, u"software\\tolvane 2"));
    EXPECT_TRUE(reg.keyExists(RegRoot::LocalMachine, u"SOFTWARE"));
    EXPECT_FALSE(reg.keyExists(RegRoot::CurrentUser, u"SOFTWARE\\Tolvane 2"));

    Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg"))); // reload from the file
    EXPECT_EQ(reg.readString(RegRoot::LocalMachine, u"SOFTWARE\\TOLVANE 2", u"lastopentvpfile").value(),
              QString::fromUtf8("C:\\Карты\\\"demo\".tvp"));
    EXPECT_FALSE(reg.readString(RegRoot::LocalMachine, u"SOFTWARE\\Tolvane 2", u"TempDir").has_value());
    EXPECT_EQ(reg.subKeyNames(RegRoot::LocalMachine, u"SOFTWARE"), QStringList{QStringLiteral("Tolvane 2")});
}

TEST_F(RegistryTest, ReadingAnotherTypeRaisesInvalidDataType)
{
    Registry &reg = Registry::instance();
    ASSERT_TRUE(reg.writeValue(RegRoot::LocalMachine, u"SOFTWARE\\Quillery 6", u"Language", Registry::Value(quint32(1))));
    ASSERT_TRUE(reg.writeValue(RegRoot::CurrentUser, u"Software\\X", u"Blob", Registry::Value(QByteArray("\x01\xff", 2))));
    Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
    try {
        (void)reg.readString(RegRoot::LocalMachine, u"SOFTWARE\\Quillery 6", u"Language");
        FAIL() << "no error raised";
    } catch (const RegistryError &e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'Language'");
    }
    EXPECT_EQ(reg.readInteger(RegRoot::LocalMachine, u"SOFTWARE\\Quillery 6", u"Language").value(), 1u);
    EXPECT_EQ(reg.readBinary(RegRoot::CurrentUser, u"Software\\X", u"Blob").value(), QByteArray("\x01\xff", 2));
}

TEST_F(RegistryTest, AFailedWriteChangesNothing)
{
    Registry &reg = Registry::instance();
    // A store whose folder cannot be made: the write fails and leaves no trace.
    dir_.write(QStringLiteral("blocker"), "file, not a folder");
    Registry::instance().setStorageFile(dir_.file(QStringLiteral("blocker/registry.reg")));
    EXPECT_FALSE(reg.writeString(RegRoot::LocalMachine, u"SOFTWARE\\Tolvane 2", u"TempDir", QStringLiteral("/tmp")));
    EXPECT_FALSE(reg.valueExists(RegRoot::LocalMachine, u"SOFTWARE\\Tolvane 2", u"TempDir"));
    EXPECT_FALSE(reg.keyExists(RegRoot::LocalMachine, u"SOFTWARE\\Tolvane 2"));
}
