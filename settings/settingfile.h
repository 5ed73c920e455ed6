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

    // Reads the sections from bytes read already, through the run's file
    // seam: the file is not opened again, so what is read is what was
    // checked. `fileName` names it for fileName() only. QSettings reads a
    // private copy of the bytes; false, with the reason, when that copy
    // cannot be written (the sections are then empty).
    bool setContents(const QString &fileName, const QByteArray &bytes, QString *error = nullptr);

signals:
    void updated();

public slots:
    void setFileName(const QString &fileName);
    // Reads the file named; one that cannot be opened reads as empty.
    void fromFile();

private:
    bool load(const QByteArray &bytes, QString *error);

    QMap<QString, SettingSection> m_sections;
    QString m_fileName;
};

} // namespace GsSetting
