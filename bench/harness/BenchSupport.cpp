#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>

namespace bench {

QString BinaryPath(const QString& name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

} // namespace bench
