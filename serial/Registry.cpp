#include "serial/Registry.h"

#include "core/Errors.h"

#include <QFileInfo>

namespace {

QString ToQString(const std::u16string& text) { return QString::fromStdU16String(text); }

// "\Software\Tanvel\DovavIriduze" -> "Software/Tanvel/DovavIriduze"
QString GroupOfKey(const std::u16string& path) {
    QString group = ToQString(path);
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (group.startsWith(QLatin1Char('/'))) group.remove(0, 1);
    return group;
}

bool StoreReadable(const QSettings& settings) {
    return settings.status() != QSettings::AccessError && settings.status() != QSettings::FormatError;
}

}  // namespace

Registry::Registry(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

QString Registry::DefaultSettingsFile() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tanvel"),
                     QStringLiteral("DovavIriduze"))
        .fileName();
}

bool Registry::OpenKey(const std::u16string& path, bool canCreate) {
    CloseKey();
    if (!StoreReadable(*settings_)) return false;
    const QString group = GroupOfKey(path);
    if (canCreate) {
        if (!settings_->isWritable()) return false;
    } else {
        settings_->beginGroup(group);
        const bool exists = !settings_->childKeys().isEmpty() || !settings_->childGroups().isEmpty();
        settings_->endGroup();
        if (!exists) return false;
    }
    currentKey_ = group;
    keyOpen_ = true;
    return true;
}

QString Registry::ValueKey(const std::u16string& name) const {
    return currentKey_ + QLatin1Char('/') + ToQString(name);
}

std::int32_t Registry::ReadInteger(const std::u16string& name) {
    const QString key = ValueKey(name);
    if (!keyOpen_ || !settings_->contains(key))
        throw ERegistryException(u"Failed to get data for '" + name + u"'");
    const QVariant value = settings_->value(key);
    // Values read from the file are text; values this process wrote may still
    // be held as numbers. Anything else (a list, say) is of another type.
    bool ok = false;
    int number = 0;
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: number = value.toString().toInt(&ok, 10); break;
    default: break;
    }
    if (!ok) throw ERegistryException(u"Invalid data type for '" + name + u"'");
    return number;
}

void Registry::WriteInteger(const std::u16string& name, std::int32_t value) {
    if (keyOpen_) {
        settings_->setValue(ValueKey(name), value);
        settings_->sync();
        if (settings_->status() == QSettings::NoError) return;
    }
    throw ERegistryException(u"Failed to set data for '" + name + u"'");
}

void Registry::CloseKey() {
    keyOpen_ = false;
    currentKey_.clear();
}
