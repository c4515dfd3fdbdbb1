#include "app/mpris_service.h"

#include <unistd.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QUrl>
#include <algorithm>

#include "app/mpris_adaptors.h"

namespace mv {

namespace {

void Call(const std::function<void()>& hook) {
    if (hook) hook();
}

QString ObjectPath() {
    return QStringLiteral("/org/mpris/MediaPlayer2");
}

}  // namespace

MprisRootAdaptor::MprisRootAdaptor(QObject* exported, const MprisService& service)
    : QDBusAbstractAdaptor(exported), service_(service) {}

QString MprisRootAdaptor::Identity() const {
    return QStringLiteral("Mp3 Vandrel");
}

QString MprisRootAdaptor::DesktopEntry() const {
    return QStringLiteral("io.github.mp3vandrel.Mp3Vandrel");
}

void MprisRootAdaptor::Raise() {
    Call(service_.Hooks().raise);
}

void MprisRootAdaptor::Quit() {
    Call(service_.Hooks().quit);
}

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* exported, MprisService& service)
    : QDBusAbstractAdaptor(exported), service_(service) {}

QString MprisPlayerAdaptor::PlaybackStatus() const {
    return service_.PlaybackStatus();
}

QVariantMap MprisPlayerAdaptor::Metadata() const {
    return service_.Metadata();
}

void MprisPlayerAdaptor::Next() {
    Call(service_.Hooks().next);
}

void MprisPlayerAdaptor::Pause() {
    Call(service_.Hooks().pause);
}

void MprisPlayerAdaptor::PlayPause() {
    Call(service_.Hooks().playPause);
}

void MprisPlayerAdaptor::Stop() {
    Call(service_.Hooks().stop);
}

void MprisPlayerAdaptor::Play() {
    Call(service_.Hooks().play);
}

double MprisPlayerAdaptor::Volume() const {
    return service_.Volume();
}

void MprisPlayerAdaptor::SetVolume(double volume) {
    service_.SetVolume(volume);
}

qlonglong MprisPlayerAdaptor::Position() const {
    return service_.Position();
}

void MprisPlayerAdaptor::Seek(qlonglong offset) {
    service_.Seek(offset);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
    service_.SetPosition(trackId.path(), position);
}

MprisService::MprisService(MprisHooks hooks, QDBusConnection bus, QObject* parent)
    : QObject(parent), hooks_(std::move(hooks)), bus_(std::move(bus)) {
    exported_ = new QObject(this);
    new MprisRootAdaptor(exported_, *this);
    new MprisPlayerAdaptor(exported_, *this);
}

MprisService::~MprisService() {
    if (!name_.isEmpty()) {
        bus_.unregisterObject(ObjectPath());
        bus_.unregisterService(name_);
    }
}

bool MprisService::Register() {
    if (!bus_.isConnected()) return false;
    if (!bus_.registerObject(ObjectPath(), exported_, QDBusConnection::ExportAdaptors)) {
        return false;
    }
    const QString plain = QStringLiteral("org.mpris.MediaPlayer2.mp3vandrel");
    for (const QString& name :
         {plain, plain + QStringLiteral(".instance") + QString::number(::getpid())}) {
        if (bus_.registerService(name)) {
            name_ = name;
            lastStatus_ = PlaybackStatus();
            lastMetadata_ = Metadata();
            lastVolume_ = Volume();
            return true;
        }
    }
    bus_.unregisterObject(ObjectPath());
    return false;
}

QString MprisService::PlaybackStatus() const {
    const QString status = hooks_.playbackStatus ? hooks_.playbackStatus() : QString();
    return status.isEmpty() ? QStringLiteral("Stopped") : status;
}

QVariantMap MprisService::Metadata() const {
    QVariantMap map;
    const QString title = hooks_.title ? hooks_.title() : QString();
    if (title.isEmpty()) {
        map.insert(QStringLiteral("mpris:trackid"),
                   QVariant::fromValue(QDBusObjectPath(
                       QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"))));
        return map;
    }
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId())));
    map.insert(QStringLiteral("xesam:title"), title);
    if (const qint64 length = Length(); length > 0) {
        map.insert(QStringLiteral("mpris:length"), length);
    }
    const QString path = hooks_.path ? hooks_.path() : QString();
    if (!path.isEmpty()) {
        map.insert(QStringLiteral("xesam:url"),
                   QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    }
    return map;
}

double MprisService::Volume() const {
    return hooks_.volume ? hooks_.volume() : 1.0;
}

qint64 MprisService::Length() const {
    return hooks_.length ? hooks_.length() : 0;
}

qint64 MprisService::Position() const {
    return hooks_.position ? hooks_.position() : 0;
}

QString MprisService::TrackId() const {
    const QString path = hooks_.path ? hooks_.path() : QString();
    if (path.isEmpty()) return QStringLiteral("/io/github/mp3vandrel/track");
    // One id per file (object path elements take hex digits), so that a
    // position meant for the song before is ignored.
    return QStringLiteral("/io/github/mp3vandrel/track/") + QString::number(qHash(path, 0), 16);
}

void MprisService::SetVolume(double volume) {
    if (hooks_.setVolume) hooks_.setVolume(std::clamp(volume, 0.0, 1.0));
    NotifyChanged();
}

void MprisService::Seek(qint64 offset) {
    const qint64 length = Length();
    if (length <= 0) return;
    const qint64 target = std::max<qint64>(0, Position() + offset);
    if (target > length) {
        Call(hooks_.next);
        return;
    }
    SeekTo(target);
}

void MprisService::SetPosition(const QString& trackId, qint64 position) {
    const qint64 length = Length();
    if (length <= 0 || trackId != TrackId() || position < 0 || position > length) return;
    SeekTo(position);
}

void MprisService::SeekTo(qint64 position) {
    if (!hooks_.seekTo) return;
    hooks_.seekTo(position);
    if (name_.isEmpty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(
        ObjectPath(), QStringLiteral("org.mpris.MediaPlayer2.Player"), QStringLiteral("Seeked"));
    signal << static_cast<qlonglong>(Position());
    bus_.send(signal);
}

void MprisService::NotifyChanged() {
    if (name_.isEmpty()) return;
    QVariantMap changed;
    const double volume = Volume();
    if (volume != lastVolume_) changed.insert(QStringLiteral("Volume"), volume);
    lastVolume_ = volume;
    const QString status = PlaybackStatus();
    if (status != lastStatus_) changed.insert(QStringLiteral("PlaybackStatus"), status);
    const QVariantMap metadata = Metadata();
    if (metadata != lastMetadata_) changed.insert(QStringLiteral("Metadata"), metadata);
    lastStatus_ = status;
    lastMetadata_ = metadata;
    if (changed.isEmpty()) return;
    QDBusMessage signal =
        QDBusMessage::createSignal(ObjectPath(), QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    bus_.send(signal);
}

}  // namespace mv
