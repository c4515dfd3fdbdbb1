// The music panel's and playlist's widgets on their own, with a player that
// records what it is sent, for driving the handlers headless.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "player/player_control.h"
#include "player/playlist_edit.h"
#include "player/windows/playback_handlers.h"
#include "player/windows/playlist_handlers.h"
#include "support/widgets/scripted_dialogs.h"
#include "support/widgets/test_application.h"

namespace mv {

namespace playertest {

inline QString Q(const char* s) {
    return QString::fromUtf8(s);
}

// Every command as one line: "InputOpen /a.mp3", "InputSeek 120/400", ...
class RecordingPlayer : public mv::PlayerControl {
  public:
    std::vector<std::string> sent;
    std::vector<std::vector<int>> records;  // equalizer records sent, 64 values each
    bool failing = false;                   // every command raises, as with no engine

    void Stop() override { Send("Stop"); }
    void InputClose() override { Send("InputClose"); }
    void OutputClose() override { Send("OutputClose"); }
    void InputOpen(const std::string& path) override { Send("InputOpen " + path); }
    void Play() override { Send("Play"); }
    void Pause() override { Send("Pause"); }
    void InputSeek(int32_t offset, int32_t range) override {
        Send("InputSeek " + std::to_string(offset) + "/" + std::to_string(range));
    }
    void SetSpeed(int32_t value) override { Send("Speed " + std::to_string(value)); }
    void SetVolume(int32_t value) override { Send("Volume " + std::to_string(value)); }
    void SetEqualizer(const XA_EqualizerInfo* record) override {
        Send(record != nullptr ? "Equalizer on" : "Equalizer off");
        if (record != nullptr) {
            std::vector<int> values(record->left, record->left + 32);
            values.insert(values.end(), record->right, record->right + 32);
            records.push_back(values);
        }
    }
    void AskEqualizer() override { Send("AskEqualizer"); }

  private:
    void Send(const std::string& line) {
        if (failing) throw std::runtime_error("Cannot Load Xaudio DLL (xaudio)");
        sent.push_back(line);
    }
};

// The widgets as the main window builds them.
struct PanelWidgets {
    PanelWidgets() {
        window = std::make_unique<QWidget>();
        lPlayList = new QListWidget(window.get());
        lPlayList->setGeometry(0, 0, 200, 120);
        tbPitch = new QSlider(Qt::Horizontal, window.get());
        tbPitch->setRange(0, 2000);
        tbPitch->setValue(1000);
        tbVolume = new QSlider(Qt::Horizontal, window.get());
        tbVolume->setRange(0, 100);
        tbVolume->setValue(100);
        tbTrack = new QSlider(Qt::Horizontal, window.get());
        tbTrack->setRange(0, 400);
        bStop = new QPushButton(Q("Stop"), window.get());
        bPause = new QPushButton(Q("Pause"), window.get());
        bNext = new QPushButton(Q("-->"), window.get());
        bStop->setEnabled(false);
        bPause->setEnabled(false);
        cbShuffle = new QCheckBox(Q("Shuffle"), window.get());
        NextTimer = new QTimer(window.get());
        NextTimer->setInterval(500);
        eExt = new QLineEdit(Q("Mp3"), window.get());
        pmPlayList = new QMenu(window.get());
        for (QAction** a : {&tmiPlay, &tmiRemove, &tmiTag, &tmiLocate, &tmiDelete}) {
            *a = pmPlayList->addAction(Q("item"));
        }
        tmiRecurse = pmPlayList->addAction(Q("recurse"));
        tmiRecurse->setCheckable(true);
    }

    PlaybackWidgets Playback() const {
        PlaybackWidgets w;
        w.window = window.get();
        w.lPlayList = lPlayList;
        w.tbPitch = tbPitch;
        w.tbVolume = tbVolume;
        w.tbTrack = tbTrack;
        w.bStop = bStop;
        w.bPause = bPause;
        w.bNext = bNext;
        w.cbShuffle = cbShuffle;
        w.NextTimer = NextTimer;
        return w;
    }

    PlaylistWidgets Playlist() const {
        PlaylistWidgets w;
        w.window = window.get();
        w.lPlayList = lPlayList;
        w.pmPlayList = pmPlayList;
        w.tmiPlay = tmiPlay;
        w.tmiRemove = tmiRemove;
        w.tmiTag = tmiTag;
        w.tmiLocate = tmiLocate;
        w.tmiDelete = tmiDelete;
        w.tmiRecurse = tmiRecurse;
        w.eExt = eExt;
        return w;
    }

    std::unique_ptr<QWidget> window;
    QListWidget* lPlayList = nullptr;
    QSlider *tbPitch = nullptr, *tbVolume = nullptr, *tbTrack = nullptr;
    QPushButton *bStop = nullptr, *bPause = nullptr, *bNext = nullptr;
    QCheckBox* cbShuffle = nullptr;
    QTimer* NextTimer = nullptr;
    QLineEdit* eExt = nullptr;
    QMenu* pmPlayList = nullptr;
    QAction *tmiPlay = nullptr, *tmiRemove = nullptr, *tmiTag = nullptr, *tmiLocate = nullptr,
            *tmiDelete = nullptr, *tmiRecurse = nullptr;
};

// The rows the box shows, as UTF-8.
inline std::vector<std::string> Rows(const QListWidget* box) {
    std::vector<std::string> rows;
    for (int i = 0; i < box->count(); ++i) rows.push_back(box->item(i)->text().toStdString());
    return rows;
}

}  // namespace playertest

}  // namespace mv
