#include "model/jsonread.h"

#include <cmath>
#include <limits>

namespace JsonRead {

QString text(const QJsonValue &value)
{
    return value.isString() ? value.toString() : QString();
}

bool flag(const QJsonValue &value)
{
    return value.isBool() && value.toBool();
}

int integer(const QJsonValue &value)
{
    if (!value.isDouble())
        return 0;
    const double number = value.toDouble();
    if (std::floor(number) != number || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max())
        return 0;
    return int(number);
}

} // namespace JsonRead
