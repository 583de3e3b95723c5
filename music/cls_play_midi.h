// SPDX-License-Identifier: GPL-3.0-or-later
// Plays one MIDI file in the background through the media service, under the
// one alias "PlayMidi": start from the beginning, pause, stop, ask whether it
// plays. Failures are silent; only `mmOpen` tells whether the last start worked.
#pragma once

#include "platform/audio/servizio_media.h"

#include <array>
#include <string>

namespace contavoce {

class clsPlayMidi {
public:
    static constexpr const char* alias = "PlayMidi";

    explicit clsPlayMidi(platform::ServizioMedia& media); // Class_Initialize
    ~clsPlayMidi();                                       // Class_Terminate: mmStop
    clsPlayMidi(const clsPlayMidi&) = delete;
    clsPlayMidi& operator=(const clsPlayMidi&) = delete;

    std::string FileName() const { return file_name_; }
    void FileName(const std::string& New_FileName) { file_name_ = New_FileName; }
    bool mmOpen() const { return aperto_; }

    // Whether the alias reports "playing" (or the Italian "in esecuzione").
    bool IsPlaying();
    // Opens the file under the alias and plays it from its beginning. While the
    // alias is open the open fails and the music already open is left alone.
    void mmPlay();
    // Stops and closes the alias; harmless when nothing is open.
    void mmStop();
    void mmPausa();

private:
    platform::ServizioMedia& media_;
    std::string file_name_;
    bool aperto_ = false;
    // The reply of the last mode query; kept between calls.
    std::array<char, 31> risposta_stato_{};
};

} // namespace contavoce
