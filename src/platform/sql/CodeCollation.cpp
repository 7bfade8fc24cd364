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

int compareCodes(void*, int lengthA, const void* dataA, int lengthB, const void* dataB)
{
    const auto* a = static_cast<const unsigned char*>(dataA);
    const auto* b = static_cast<const unsigned char*>(dataB);
    lengthA = trimmedLength(reinterpret_cast<const char*>(a), lengthA);
    lengthB = trimmedLength(reinterpret_cast<const char*>(b), lengthB);
    // Every index seek compares codes: ASCII letters fold in the same pass
    // that compares them.
    const auto folded = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    bool ascii = true;
    int r = 0;
    const int common = std::min(lengthA, lengthB);
    for (int i = 0; i < common; ++i) {
        if ((a[i] | b[i]) >= 0x80) {
            ascii = false;
            break;
        }
        if (a[i] != b[i] && (r = folded(a[i]) - folded(b[i])) != 0)
            break;
    }
    if (ascii && r == 0) {
        // The longer code's tail decides only if it is plain ASCII too.
        const unsigned char* resto = lengthA > common ? a : b;
        for (int i = common; i < std::max(lengthA, lengthB); ++i)
            if (resto[i] >= 0x80) {
                ascii = false;
                break;
            }
    }
    if (ascii)
        return r != 0 ? r : lengthA - lengthB;
    // Accented letters (Ñ, Á ...) fold as the server folds them.
    return QString::compare(QString::fromUtf8(reinterpret_cast<const char*>(a), lengthA),
                            QString::fromUtf8(reinterpret_cast<const char*>(b), lengthB),
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
