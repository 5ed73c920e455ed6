#include "cli/nearestnames.h"

#include <QVector>

#include <algorithm>

namespace {

// Levenshtein's distance: insertions, deletions and substitutions.
int editDistance(const QString &a, const QString &b)
{
    QVector<int> row(b.size() + 1);
    for (int j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (int i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = i;
        for (int j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

QStringList nearestNames(const QString &name, const QStringList &names, int most)
{
    const QString folded = name.toCaseFolded();
    const int limit = std::max(2, int(name.size()) / 2);
    QVector<QPair<int, int>> near; // distance, index in names
    for (int i = 0; i < names.size(); ++i) {
        const int distance = editDistance(folded, names[i].toCaseFolded());
        if (distance <= limit)
            near.append({distance, i});
    }
    std::stable_sort(near.begin(), near.end(),
        [](const QPair<int, int> &a, const QPair<int, int> &b) { return a.first < b.first; });
    QStringList nearest;
    for (int i = 0; i < near.size() && i < most; ++i)
        nearest.append(names[near[i].second]);
    return nearest;
}
