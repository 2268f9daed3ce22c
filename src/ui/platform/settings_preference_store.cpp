// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/settings_preference_store.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>

namespace vantrel {

namespace {

const QString kTrue = QStringLiteral("true");
const QString kFalse = QStringLiteral("false");

// The QSettings key for a preference key. QSettings reads "/" (and, on some systems,
// "\") as a group separator and drops empty groups, so "a//b" and "/a" would alias
// other keys; escaping them and "%" keeps the mapping one-to-one. QSettings ignores the
// empty key, so it gets "%", which no escaped key can be (every escape is "%" + two hex
// digits).
QString settingsKey(std::string_view key) {
    if (key.empty()) return QStringLiteral("%");
    QString result;
    result.reserve(static_cast<qsizetype>(key.size()));
    for (QChar ch : QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()))) {
        if (ch == u'%')
            result += QStringLiteral("%25");
        else if (ch == u'/')
            result += QStringLiteral("%2F");
        else if (ch == u'\\')
            result += QStringLiteral("%5C");
        else
            result += ch;
    }
    return result;
}

// After a restart the INI file gives every Boolean and every string back as a string.
// A stored string that is "true", "false" or starts with "@" therefore carries one
// extra "@" (QSettings doubles a leading "@" in the file and undoes it when reading, so
// the stored text survives unchanged), and text read back as "true" or "false" is a
// Boolean.
bool needsEscape(const QString& text) { return text == kTrue || text == kFalse || text.startsWith(u'@'); }

QString escapedString(QString text) {
    if (needsEscape(text)) text.prepend(u'@');
    return text;
}

std::optional<QString> unescapedString(const QString& stored) {
    if (stored == kTrue || stored == kFalse) return std::nullopt;   // a Boolean
    if (stored.startsWith(u'@') && needsEscape(stored.mid(1))) return stored.mid(1);
    return stored;   // includes text someone else wrote with a single leading "@"
}

}  // namespace

SettingsPreferenceStore::SettingsPreferenceStore()
    : settings_(std::make_unique<QSettings>(QStringLiteral("Vantrel"), QStringLiteral("Vantrel"))) {}

SettingsPreferenceStore::SettingsPreferenceStore(std::unique_ptr<QSettings> settings) : settings_(std::move(settings)) {
    Q_ASSERT(settings_);
}

SettingsPreferenceStore::~SettingsPreferenceStore() = default;

QVariant SettingsPreferenceStore::read(std::string_view key) const { return settings_->value(settingsKey(key)); }

Status SettingsPreferenceStore::write(std::string_view key, const QVariant& value) {
    settings_->setValue(settingsKey(key), value);
    return synced();
}

Status SettingsPreferenceStore::synced() {
    // Written at once rather than when the event loop next gets round to it: a choice
    // must survive a crash right after it was made.
    settings_->sync();
    switch (settings_->status()) {
        case QSettings::NoError:
            return success();
        case QSettings::AccessError:
            return Status::failure("无法写入设置文件 " + settings_->fileName().toStdString());
        case QSettings::FormatError:
            return Status::failure("设置文件格式不正确：" + settings_->fileName().toStdString());
    }
    return Status::failure("无法写入设置文件");
}

std::optional<std::string> SettingsPreferenceStore::string(std::string_view key) const {
    const QVariant value = read(key);
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    if (auto text = unescapedString(value.toString())) return text->toStdString();
    return std::nullopt;
}

std::optional<bool> SettingsPreferenceStore::boolean(std::string_view key) const {
    const QVariant value = read(key);
    // A Boolean written in this session is still a bool; one read from the file is text.
    if (value.typeId() == QMetaType::Bool) return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text == kTrue) return true;
        if (text == kFalse) return false;
    }
    return std::nullopt;
}

std::optional<std::string> SettingsPreferenceStore::data(std::string_view key) const {
    const QVariant value = read(key);
    if (value.typeId() != QMetaType::QByteArray) return std::nullopt;
    const QByteArray bytes = value.toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

Status SettingsPreferenceStore::setString(std::string_view key, std::string_view value) {
    return write(key, escapedString(QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()))));
}

Status SettingsPreferenceStore::setBoolean(std::string_view key, bool value) { return write(key, value); }

Status SettingsPreferenceStore::setData(std::string_view key, std::string_view bytes) {
    return write(key, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

Status SettingsPreferenceStore::remove(std::string_view key) {
    settings_->remove(settingsKey(key));
    return synced();
}

}  // namespace vantrel
