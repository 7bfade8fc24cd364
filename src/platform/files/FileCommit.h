#pragma once

#include <QString>

// A file is first written complete under a temporary name in its final
// folder, then put in place in one step, so no reader ever finds half of it
// under the final name.
namespace fileCommit {

// A new, empty temporary file in `folder`, named after `stem`; raises
// RuntimeError (with the folder) when the folder cannot hold one. The caller
// removes it if it is never committed (see TemporaryName).
QString createTemporary(const QString& folder, const QString& stem);

// Puts `temporary` in place of `target`, replacing a file already there.
void commitReplacing(const QString& temporary, const QString& target);

// Puts `temporary` under the first name of "stem.ext", "stem-2.ext",
// "stem-3.ext" ... free in `folder`, never replacing a file; returns it.
QString commitNew(const QString& temporary, const QString& folder, const QString& stem,
                  const QString& extension);

// Removes the temporary file when it goes out of scope, unless committed.
class TemporaryName
{
public:
    TemporaryName(const QString& folder, const QString& stem);
    ~TemporaryName();
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

} // namespace fileCommit
