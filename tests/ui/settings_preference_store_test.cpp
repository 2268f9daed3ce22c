// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/settings_preference_store.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vantrel {
namespace {

using namespace std::string_literals;

class SettingsPreferenceStoreTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("Vantrel.conf")) const { return dir_.filePath(name); }

    static std::unique_ptr<SettingsPreferenceStore> open(const QString& file) {
        return std::make_unique<SettingsPreferenceStore>(std::make_unique<QSettings>(file, QSettings::IniFormat));
    }

    // The file as a later run of the program reads it. QSettings shares parsed files
    // within a process and keeps the values it wrote with their original types, so a
    // new QSettings on the same path would never parse the text; a copy under a new
    // name is read from disk.
    std::unique_ptr<SettingsPreferenceStore> nextRun(const QString& file) {
        const QString copy = path(QStringLiteral("run-%1.conf").arg(++runs_));
        EXPECT_TRUE(QFile::copy(file, copy));
        return open(copy);
    }

    QTemporaryDir dir_;
    int runs_ = 0;
};

const std::vector<std::string> kTexts = {
    "我的战术 · 高位逼抢 4-3-3",
    "",
    "  leading and trailing spaces  ",
    "builtin-11-0,builtin-7-2,imported-6F9619FF-8B86-D011-B42D-00C04FC964FF",   // a favourites list
    "true",
    "false",
    "@ByteArray(not bytes)",
    "@@",
    "@",
    "key=value; #not a comment\n\"quoted\"\t\\back\\slash",
    "with\0nul"s,
};

std::string allByteValues() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    return bytes;
}

const std::vector<std::string> kBlobs = {
    allByteValues(),
    "\0\0\0"s,
    "\xff\xfe\xc3\x28 not UTF-8 \xa0\xa1",
    "",
    R"([{"name":"战术","steps":[]}])",
    "\\x41\\0",   // looks like the file's own escapes
};

TEST_F(SettingsPreferenceStoreTest, RoundTripsEveryTypeInThisRunAndTheNext) {
    auto store = open(path());
    for (std::size_t i = 0; i < kTexts.size(); ++i) store->setString("text." + std::to_string(i), kTexts[i]);
    for (std::size_t i = 0; i < kBlobs.size(); ++i) store->setData("blob." + std::to_string(i), kBlobs[i]);
    store->setBoolean("Vantrel.onboardingCompleted", true);
    store->setBoolean("libraryVisible", false);

    const auto check = [](const PreferenceStore& s, const char* when) {
        SCOPED_TRACE(when);
        for (std::size_t i = 0; i < kTexts.size(); ++i)
            EXPECT_EQ(s.string("text." + std::to_string(i)), kTexts[i]) << "text " << i;
        for (std::size_t i = 0; i < kBlobs.size(); ++i)
            EXPECT_EQ(s.data("blob." + std::to_string(i)), kBlobs[i]) << "blob " << i;
        EXPECT_EQ(s.boolean("Vantrel.onboardingCompleted"), true);
        EXPECT_EQ(s.boolean("libraryVisible"), false);
    };
    check(*store, "same store");
    store.reset();
    check(*nextRun(path()), "next run");
}

TEST_F(SettingsPreferenceStoreTest, AValueOfAnotherTypeReadsAsAbsent) {
    auto store = open(path());
    store->setString("pitchViewMode", "3D");
    store->setString("looksBoolean", "true");
    store->setBoolean("libraryVisible", true);
    store->setData("Vantrel.importedTactics", "[]");

    // Only the type a value was written with reads it back.
    const auto check = [](const PreferenceStore& s, const char* when) {
        SCOPED_TRACE(when);
        for (const std::string key : {"pitchViewMode", "looksBoolean", "libraryVisible", "Vantrel.importedTactics", "missing"}) {
            EXPECT_EQ(s.string(key).has_value(), key == "pitchViewMode" || key == "looksBoolean") << key;
            EXPECT_EQ(s.boolean(key).has_value(), key == "libraryVisible") << key;
            EXPECT_EQ(s.data(key).has_value(), key == "Vantrel.importedTactics") << key;
        }
    };
    check(*store, "this run");
    store.reset();
    check(*nextRun(path()), "next run");

    // A later write of another type replaces the value and its type.
    auto again = open(path());
    again->setBoolean("pitchViewMode", false);
    EXPECT_EQ(again->string("pitchViewMode"), std::nullopt);
    EXPECT_EQ(again->boolean("pitchViewMode"), false);
}

TEST_F(SettingsPreferenceStoreTest, KeysStayWholeAndDistinct) {
    auto store = open(path());
    store->setData("Vantrel.importedTactics", "tactics");
    // Keys QSettings would read as groups, or fold together.
    const std::vector<std::string> awkward = {"a/b", "a//b", "/a/b", "a/b/", "a%2Fb", "a\\b", "", "战术/键"};
    for (std::size_t i = 0; i < awkward.size(); ++i) store->setString(awkward[i], std::to_string(i));
    store.reset();

    // The application's dotted keys are plain keys of the file's [General] section.
    QSettings file(path(), QSettings::IniFormat);
    EXPECT_TRUE(file.childGroups().isEmpty()) << file.childGroups().join(u',').toStdString();
    EXPECT_TRUE(file.childKeys().contains(QStringLiteral("Vantrel.importedTactics")));

    auto next = nextRun(path());
    EXPECT_EQ(next->data("Vantrel.importedTactics"), "tactics");
    for (std::size_t i = 0; i < awkward.size(); ++i)
        EXPECT_EQ(next->string(awkward[i]), std::to_string(i)) << "key \"" << awkward[i] << '"';
}

TEST(SettingsPreferenceStoreFailureTest, AWriteThatCannotReachTheDiskSaysSo) {
    QTemporaryDir dir;
    // A regular file where the settings folder should be: nothing can be written below it.
    QFile occupied(dir.filePath(QStringLiteral("occupied")));
    ASSERT_TRUE(occupied.open(QIODevice::WriteOnly));
    occupied.close();
    SettingsPreferenceStore store(
        std::make_unique<QSettings>(dir.filePath(QStringLiteral("occupied/Vantrel.conf")), QSettings::IniFormat));
    const Status written = store.setString("pitchViewMode", "3D");
    EXPECT_NE(written.error().find("occupied/Vantrel.conf"), std::string::npos) << written.error();
    EXPECT_FALSE(store.setBoolean("libraryVisible", true));
    EXPECT_FALSE(store.remove("pitchViewMode"));

    SettingsPreferenceStore fine(
        std::make_unique<QSettings>(dir.filePath(QStringLiteral("Vantrel.conf")), QSettings::IniFormat));
    EXPECT_TRUE(fine.setData("blob", "bytes"));
    EXPECT_TRUE(fine.remove("blob"));
    EXPECT_FALSE(fine.data("blob"));
}

}  // namespace
}  // namespace vantrel
