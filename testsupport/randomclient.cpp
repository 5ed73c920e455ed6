#include "testsupport/randomclient.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>

#include <sys/stat.h>

namespace RandomClient {

namespace {

const QStringList images{"a.png", "b.gif", "c.webp", "D.png", "e.PNG", "f..g.png", "h.jpeg"};
const QStringList sounds{"holdit.wav", "objection.wav", "Objection.wav", "custom2.Loud.wav", "takethat.opus"};
const QStringList folders{"(a)", "misc", "data", "Sounds", "emotions", "resources", "sprites", "shouts"};

QString iniText(QRandomGenerator &random)
{
    if (random.bounded(5) == 0)
        return "[scenario]\r\nemote=idle\r\ndisplay_icon=1\r\n";
    QString text
        = "[Options]\r\nshowname=Char " + QString::number(random.bounded(100)) + "\r\n[Emotions]\r\n";
    const int count = int(random.bounded(4));
    for (int i = 1; i <= count; ++i)
        text += QString("%1=Emote %1#-#pose%1#0#%2\r\n").arg(i).arg(random.bounded(2));
    return text + "[SoundN]\r\n1=sfx-hit\r\n";
}

} // namespace

QStringList entries(quint32 seed, int characters)
{
    QRandomGenerator random(seed);
    QStringList result{"base/sounds/general/sfx-hit.wav=w"};
    auto content = [&random]() { return QString::number(random.bounded(3)); }; // small: collisions happen
    for (int c = 0; c < characters; ++c) {
        const QString root = QString("base/characters/C%1%2/").arg(c).arg(random.bounded(4) == 0 ? ".." : "");
        result.append(root);
        if (random.bounded(8) == 0)
            result.append(root + "char_icon.png->actor.png");
        else if (random.bounded(2))
            result.append(root + "char_icon.png=" + content());
        if (random.bounded(3) == 0)
            result.append(root + "actor.png=" + content());
        if (random.bounded(2))
            result.append(root + "char.ini=" + iniText(random));
        if (random.bounded(4) == 0)
            result.append(root + "extra.ini=" + iniText(random));
        if (random.bounded(5) == 0)
            result.append(root + "char.toml=old");
        for (const QString &name : images) {
            if (random.bounded(3) == 0)
                result.append(root + name + '=' + content());
            if (random.bounded(6) == 0)
                result.append(root + "sprites/" + name + '=' + content());
        }
        for (const QString &name : sounds) {
            if (random.bounded(4) == 0)
                result.append(root + name + '=' + content());
            if (random.bounded(4) == 0)
                result.append(root + "shouts/" + name + '=' + content());
            if (random.bounded(8) == 0)
                result.append(root + "shouts/sounds/" + name.toLower() + '=' + content());
        }
        if (random.bounded(3) == 0)
            result.append(root + "shouts/Custom2.gif=" + content());
        for (const QString &name : folders) {
            if (random.bounded(4) == 0)
                result.append(root + name + "/1.png=" + content());
        }
        if (random.bounded(6) == 0)
            result.append(root + "link.png->a.png");
    }
    return result;
}

QStringList hazards(quint32 seed, int characters)
{
    QStringList result = entries(seed, characters);
    QRandomGenerator random(seed ^ 0x5eedu);
    const QString emotions = "[Emotions]\r\n1=a#-#a#0#0\r\n";
    for (int c = 0; c < characters; ++c) {
        const QString root = QString("base/characters/H%1/").arg(c);
        result.append(root + "char.ini=" + emotions);
        switch (random.bounded(6)) {
        case 0:
            result.append(root + "char.toml->nowhere.toml"); // a dangling link at the document's name
            break;
        case 1:
            result.append(root + "data/actor.json->../../../../outside.json");
            break;
        case 2:
            // Its document's name, ".toml" for ".ini", is one byte past the limit.
            result.append(root + QString(251, QChar('d')) + ".ini=" + emotions);
            break;
        case 3:
            result.append(root + "locked/1.png=1"); // a sub-folder that may not move
            break;
        case 4: {
            // A whole character folder that may not be changed.
            const QString locked = QString("base/characters/locked%1/").arg(c);
            result << locked + "char.ini=" + emotions << locked + "char_icon.png=2" << locked + "a.png=3";
            break;
        }
        default:
            result.append(root + QString(250, QChar('p')) + ".png=3");
            break;
        }
    }
    return result;
}

QStringList manifest(const QString &root, bool times)
{
    QStringList lines;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = path.mid(root.size() + 1);
        if (name == QLatin1String("veltra-journal") || name.startsWith(QLatin1String("veltra-journal/")))
            continue;
        const QFileInfo info = it.fileInfo();
        QString line = name;
        if (info.isSymLink()) {
            line += " -> " + info.symLinkTarget().section('/', -1);
        } else if (info.isDir()) {
            line += '/';
        } else {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            line += " = "
                + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha3_256).toHex().left(16);
        }
        if (times) {
            struct stat status;
            ::lstat(QFile::encodeName(path).constData(), &status);
            line += QString(" @%1.%2").arg(status.st_mtim.tv_sec).arg(status.st_mtim.tv_nsec);
        }
        lines.append(line);
    }
    lines.sort();
    return lines;
}

} // namespace RandomClient
