#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Error numbers the suite's error dialog and handlers know. They follow the
// numbering the suite's components have always reported, so a log written by
// this program reads like the others.
namespace ErrorNumber {
constexpr int InvalidArgument = 5;
constexpr int Overflow = 6;
constexpr int TypeMismatch = 13;
constexpr int FileNotFound = 53;
constexpr int DiskFull = 61;
constexpr int PermissionDenied = 70;
constexpr int FileAccess = 75;
constexpr int ObjectRequired = 91;
constexpr int ItemNotFound = 3265;
constexpr int Database = -2147467259;
constexpr int Cancelled = 18;
} // namespace ErrorNumber

// The one run-time error of the program: what failed (number and text) and where.
class RuntimeError : public std::exception
{
public:
    RuntimeError(int number, QString description, QString source = {});

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& source() const { return m_source; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};
