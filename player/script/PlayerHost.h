// What the script functions of MyUnit may do to the player: its runtime state
// and the few window operations they perform. The main window implements it.
#pragma once

#include "player/PlayerState.h"
#include "player/Sounds.h"

#include <cstdint>
#include <string>

namespace platform {
class Dialogs;
}

namespace player::script {

class PlayerHost {
public:
    virtual ~PlayerHost() = default;

    virtual PlayerState& RuntimeState() = 0;
    // The boxes a script's prompts open.
    virtual platform::Dialogs& ScriptDialogs() = 0;

    // goto: makes location the current one and shows it. Throws, changing
    // nothing, when the location lies outside the table (0..count).
    virtual void GotoLocation(std::int32_t location) = 0;
    // restart: LoadQuest again.
    virtual void Restart() = 0;
    // Close: asks the window to close once the running event has finished.
    virtual void CloseWindow() = 0;
    // FormName: the window caption, literally.
    virtual void SetCaption(const std::string& caption) = 0;
    // AddText: a new last line of the description box, literally.
    virtual void AddText(const std::string& text) = 0;
    // hint: the hover text of inventory label n (1..6).
    virtual void SetInventoryHint(int n, const std::string& hint) = 0;
    // action: switches action label n (1..6) off until the next show.
    virtual void DisableAction(int n) = 0;

    // ShowImage: loads the picture file (its kind chosen by the extension
    // of its name) into the picture box. Throws, the picture unchanged, for
    // any other extension and for a file that does not load.
    virtual void ShowImage(const std::string& filepath) = 0;

    // timer: starts the countdown's window timer unless it runs already (a
    // running one-second period is not restarted) and shows its label with
    // the text it has.
    virtual void StartCountdown() = 0;
    // StopTimer: stops the window timer and hides the label.
    virtual void StopCountdown() = 0;

    // PlaySound, PlayEffect and their Stop: the two channels.
    virtual Sounds& SoundChannels() = 0;

    // TITR: the credits roll with its title, its text ("#" between lines)
    // and its timer interval in milliseconds.
    virtual void RollCredits(const std::string& header, const std::string& text,
                             std::uint32_t interval) = 0;
};

} // namespace player::script
