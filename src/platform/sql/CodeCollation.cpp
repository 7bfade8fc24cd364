#include "platform/sql/CodeCollation.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QString>
#include <QVariant>
#include <sqlite3.h>

namespace {

int trimmedLength(const char* text, int length)
{
    while (length > 0 && text[length - 1] == ' ')
        --length;
    return length;
}

bool isAscii(const char* text, int length)
{
    for (int i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    return true;
}

int compareCodes(void*, int lengthA, const void* dataA, int lengthB, const void* dataB)
{
    const auto* a = static_cast<const char*>(dataA);
    const auto* b = static_cast<const char*>(dataB);
    lengthA = trimmedLength(a, lengthA);
    lengthB = trimmedLength(b, lengthB);
    if (isAscii(a, lengthA) && isAscii(b, lengthB)) {
        const int common = std::min(lengthA, lengthB);
        const int r = sqlite3_strnicmp(a, b, common);
        return r != 0 ? r : lengthA - lengthB;
    }
    // Accented letters (Ñ, Á ...) fold as the server folds them.
    return QString::compare(QString::fromUtf8(a, lengthA), QString::fromUtf8(b, lengthB),
                            Qt::CaseInsensitive);
}

} // namespace

bool installCodeCollation(const QSqlDatabase& db)
{
    if (!db.isOpen() || !db.driver())
        return false;
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return false;
    auto* connection = *static_cast<sqlite3* const*>(handle.data());
    if (!connection)
        return false;
    return sqlite3_create_collation_v2(connection, "NOCASE", SQLITE_UTF8, nullptr, compareCodes,
                                       nullptr) == SQLITE_OK;
}
