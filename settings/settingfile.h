#pragma once

#include "settings/settingsection.h"

#include <QMap>
#include <QObject>
#include <QString>

namespace GsSetting {

// An INI file read into memory as lower-case sections. Read-only: the file
// is never written back. The syntax is QSettings' INI format; a file that is
// valid UTF-8 is decoded as UTF-8, any other keeps QSettings' own decoding.
class SettingFile : public QObject
{
    Q_OBJECT

public:
    explicit SettingFile(QObject *parent = nullptr);
    ~SettingFile() override;

    QString fileName() const { return m_fileName; }
    const QMap<QString, SettingSection> &sections() const { return m_sections; }

    // A copy of the section stored under exactly `name` (callers pass
    // lower-case names); an empty section when there is none.
    SettingSection section(const QString &name) const;

signals:
    void updated();

public slots:
    void setFileName(const QString &fileName);
    void fromFile();

private:
    QMap<QString, SettingSection> m_sections;
    QString m_fileName;
};

} // namespace GsSetting
