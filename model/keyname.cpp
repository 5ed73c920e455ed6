#include "model/keyname.h"

#include <QHash>
#include <QRegularExpression>

namespace {

// Replaces every occurrence of `match`'s first group by `replacement`.
bool foldFirstMatch(QString &text, const QRegularExpression &pattern, const QString &format)
{
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const QString replacement = format.arg(match.captured(2), match.captured(3).toLower());
    text.replace(match.captured(1), replacement);
    return true;
}

QString workOutKeyName(const QString &name, bool dotted)
{
    static const QRegularExpression prefix(QStringLiteral("^\\w+_"));
    static const QRegularExpression memberAccess(QStringLiteral("(\\.|->)"));
    static const QRegularExpression scope(QStringLiteral("(.+?)::"));
    static const QRegularExpression object(QStringLiteral("(.+?)(\\.|->)"));
    static const QRegularExpression call(QStringLiteral("\\(.*\\)"));
    static const QRegularExpression capitalRun(QStringLiteral("(([A-Z])([A-Z]+))"));
    static const QRegularExpression wordStart(QStringLiteral("^((.+?)([A-Z]))"));

    QString key = name;
    key.remove(prefix);
    if (dotted)
        key.replace(memberAccess, QStringLiteral("_"));
    key.remove(scope);
    key.remove(object);
    key.remove(call);
    // Each pass lower-cases at least one capital and adds none, so both loops end.
    while (foldFirstMatch(key, capitalRun, QStringLiteral("%1%2"))) { }
    key.remove(QLatin1Char('_'));
    while (foldFirstMatch(key, wordStart, QStringLiteral("%1_%2"))) { }
    key.replace(QStringLiteral("__"), QStringLiteral("_"));
    return key.toLower();
}

} // namespace

QString keyName(const QString &name, bool dotted)
{
    // The codecs ask for the same few member names for every record they
    // read or write, and the rule takes several regular-expression passes.
    // Each thread keeps the keys it has worked out, so no lock is needed; the
    // bound keeps names that come from data from growing it without end.
    constexpr int memoLimit = 4096;
    thread_local QHash<QString, QString> memo[2];
    QHash<QString, QString> &keys = memo[dotted ? 1 : 0];
    const auto known = keys.constFind(name);
    if (known != keys.constEnd())
        return *known;
    const QString key = workOutKeyName(name, dotted);
    if (keys.size() < memoLimit)
        keys.insert(name, key);
    return key;
}
