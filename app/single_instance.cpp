#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace korvex {

QString RuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir()) return runtime;

    // A folder of our own in /tmp, refused when someone else made it (or made it a link).
    const QString own = QStringLiteral("/tmp/korvex-%1").arg(static_cast<qulonglong>(getuid()));
    QDir().mkdir(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QFileInfo info(own);
    if (info.isSymLink() || !info.isDir() || info.ownerId() != getuid()) return {};
    QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return own;
}

SingleInstance::SingleInstance(const QString& machineKey) {
    const QString folder = RuntimeFolder();
    if (folder.isEmpty()) return;
    QString key = QFileInfo(machineKey).canonicalFilePath();
    if (key.isEmpty()) key = QDir::cleanPath(machineKey);
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    path_ = folder + QStringLiteral("/korvex-") + QString::fromLatin1(hash) + QStringLiteral(".lock");
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    if (path_.isEmpty()) return true;
    if (lock_ && lock_->isLocked()) return true;
    lock_ = std::make_unique<QLockFile>(path_);
    lock_->setStaleLockTime(0);  // only a dead owner makes a lock stale
    if (lock_->tryLock(0)) return true;
    return lock_->error() != QLockFile::LockFailedError;
}

}  // namespace korvex
