// The transcript: one JSON line after loading and after every step.
#include "player/Transcript.h"

#include "model/Cp1251.h"
#include "platform/Text.h"
#include "player/Labels.h"
#include "player/TitresForm.h"
#include "player/pMain.h"

#include <QLabel>
#include <QTimer>

namespace player {
namespace {

using json = nlohmann::ordered_json;

json Utf8(const std::string& cp1251) {
    return model::Cp1251ToUtf8(cp1251);
}

json DialogJson(const platform::ShownDialog& shown) {
    switch (shown.kind) {
    case platform::ShownDialog::Kind::Message:
        return {{"kind", "message"}, {"text", Utf8(shown.text)}};
    case platform::ShownDialog::Kind::Question:
        return {{"kind", "question"}, {"text", Utf8(shown.text)}, {"answer", shown.accepted}};
    case platform::ShownDialog::Kind::Input:
        return {{"kind", "input"},
                {"caption", Utf8(shown.caption)},
                {"question", Utf8(shown.text)},
                {"answer", shown.input ? Utf8(*shown.input) : json(nullptr)}};
    }
    return json::object();
}

json PictureKindName(const std::optional<platform::PictureKind>& kind) {
    if (!kind)
        return "none";
    switch (*kind) {
    case platform::PictureKind::Bitmap:
        return "bmp";
    case platform::PictureKind::Icon:
        return "ico";
    case platform::PictureKind::Jpeg:
        return "jpeg";
    case platform::PictureKind::Wmf:
        return "wmf";
    case platform::PictureKind::Emf:
        return "emf";
    }
    return "none";
}

json ChannelJson(const Sounds& sounds, SoundChannel channel) {
    const auto& file = sounds.File(channel);
    return {{"open", sounds.IsOpen(channel)},
            {"playing", sounds.IsPlaying(channel)},
            {"file", file ? Utf8(*file) : json(nullptr)}};
}

// A channel on which time passes only by steps: the real channel opens and
// plays the file (so what cannot play fails as it would), but it counts as
// playing from Play until Stop or the next Open, whatever the clock says.
class StepTimeChannel : public platform::AudioChannel {
public:
    explicit StepTimeChannel(platform::AudioChannel& real) : real_(real) {}
    void Open(const std::string& path) override {
        playing_ = false;
        real_.Open(path);
    }
    void Play() override {
        real_.Play();
        playing_ = true;
    }
    void Stop() override {
        real_.Stop();
        playing_ = false;
    }
    bool IsOpen() const override { return real_.IsOpen(); }
    bool IsPlaying() const override { return playing_; }

private:
    platform::AudioChannel& real_;
    bool playing_ = false;
};

class StepTimeAudio : public platform::Audio {
public:
    StepTimeAudio() : real_(platform::MakeSdlAudio()), sound_(real_->Sound()), effect_(real_->Effect()) {}
    platform::AudioChannel& Sound() override { return sound_; }
    platform::AudioChannel& Effect() override { return effect_; }

private:
    std::unique_ptr<platform::Audio> real_;
    StepTimeChannel sound_;
    StepTimeChannel effect_;
};

} // namespace

std::optional<std::vector<std::string>> ParseSteps(const std::string& steps, std::string& error) {
    std::vector<std::string> out;
    if (steps.empty())
        return out;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = steps.find(',', start);
        std::string step =
            steps.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        // Blanks around a step are allowed: "1, 2" reads as "1,2".
        step.erase(0, step.find_first_not_of(' '));
        step.erase(step.find_last_not_of(' ') + 1);
        const bool action = step.size() == 1 && step[0] >= '1' && step[0] <= '6';
        if (!action && step != "t" && step != "r" && step != "o") {
            error = "bad step '" + step + "': expected an action number 1..6, t, r or o";
            return std::nullopt;
        }
        out.push_back(step);
        if (comma == std::string::npos)
            return out;
        start = comma + 1;
    }
}

json Snapshot(const TForm1& form, const std::string& step,
              const std::vector<platform::ShownDialog>& dialogs, std::size_t dialogsLeftOut) {
    json actions = json::array();
    json inventory = json::array();
    for (int n = 1; n <= 6; ++n) {
        const ActionLabel* action = form.ActionLabelOf(n);
        actions.push_back({{"n", n},
                           {"caption", Utf8(platform::FromQString(action->text()))},
                           {"visible", !action->isHidden()},
                           // the label's own switch, not the window's
                           {"enabled", action->isEnabledTo(&form)}});
        inventory.push_back(
            {{"n", n},
             {"caption", Utf8(platform::FromQString(form.InventoryLabelOf(n)->text()))},
             {"hint", Utf8(form.InventoryHint(n))}});
    }
    json shown = json::array();
    for (const auto& dialog : dialogs)
        shown.push_back(DialogJson(dialog));

    const TTitrForm& roll = *form.TitrForm;
    json line = {{"step", step},
                 {"caption", Utf8(form.CaptionText())},
                 {"enabled", form.isEnabled()},
                 {"location", form.State.CurrentLocation},
                 {"description", Utf8(form.DescriptionText())},
                 {"actions", actions},
                 {"inventory", inventory},
                 {"timer",
                  {{"running", form.Timer->isActive()},
                   {"visible", !form.lblTimer->isHidden()},
                   {"text", Utf8(platform::FromQString(form.lblTimer->text()))}}},
                 {"picture",
                  {{"kind", PictureKindName(form.PictureKind())},
                   {"file", form.PictureKind() ? Utf8(form.PictureFile()) : json(nullptr)}}},
                 {"sound", ChannelJson(form.SoundChannels(), SoundChannel::Sound)},
                 {"effect", ChannelJson(form.SoundChannels(), SoundChannel::Effect)},
                 {"roll",
                  {{"visible", !roll.isHidden()},
                   {"title", Utf8(roll.TitleText())},
                   {"text", Utf8(roll.RollText)},
                   {"interval", roll.Interval},
                   {"y", roll.RollY}}},
                 {"console", Utf8(form.ConsoleText())},
                 {"dialogs", shown}};
    if (dialogsLeftOut > 0)
        line["dialogs_left_out"] = dialogsLeftOut;
    if (form.CloseRequested())
        line["closed"] = true;
    return line;
}

bool RunTranscript(std::unique_ptr<QuestSource> source, const std::vector<std::string>& steps,
                   const std::vector<std::string>& answers, std::ostream& out) {
    platform::ScriptedDialogs dialogs(answers);
    const auto askingForever = [&dialogs] { return dialogs.Unanswered() > kMaxUnansweredBoxes; };
    TForm1 form(std::move(source), dialogs, std::make_unique<StepTimeAudio>(), nullptr,
                askingForever);
    const auto writeLine = [&](const std::string& step) {
        const std::size_t leftOut = dialogs.LeftOut();
        out << Snapshot(form, step, dialogs.TakeShown(), leftOut).dump() << '\n' << std::flush;
    };
    writeLine("start");
    for (const std::string& step : steps) {
        if (form.CloseRequested() || askingForever())
            break;
        if (step == "t")
            form.FireTimer();
        else if (step == "r")
            form.TitrForm->FireRoll();
        else if (step == "o") {
            if (!form.TitrForm->isHidden())
                form.TitrForm->BitBtn1Click();
        } else
            form.ClickAction(step[0] - '0');
        writeLine(step);
    }
    return !askingForever();
}

} // namespace player
