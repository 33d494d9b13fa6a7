// The three quest sources.
#include "player/QuestSource.h"

#include "model/Cp1251.h"
#include "model/ExeLayout.h"
#include "model/Payload.h"
#include "model/QuestFile.h"

#include <utility>

namespace player {
namespace {

class PayloadFile : public QuestSource {
public:
    PayloadFile(std::string exePath, std::optional<std::string> firstText)
        : exePath_(std::move(exePath)), firstText_(std::move(firstText)) {}

    void Load(model::TQuests& Quests, model::TQuestParams& QuestParams) override {
        std::string text;
        if (firstText_) {
            text = std::move(*firstText_);
            firstText_.reset();
        } else {
            try {
                text = model::ReadPayloadText(exePath_);
            } catch (const std::exception&) {
                // An own file that cannot be read is taken as one without a
                // payload: the player opens empty and says so.
            }
        }
        model::ParsePayload(text, Quests, QuestParams);
    }

    std::string Caption() const override { return DisplayFileName(exePath_); }

private:
    std::string exePath_;
    std::optional<std::string> firstText_;
};

class QuestFile : public QuestSource {
public:
    explicit QuestFile(std::string path) : path_(std::move(path)) {}

    void Load(model::TQuests& Quests, model::TQuestParams& QuestParams) override {
        model::QuestDocument doc = model::ReadQuestFile(path_);
        Quests = std::move(doc.Quests);
        QuestParams = std::move(doc.QuestParams);
    }

    std::string Caption() const override { return DisplayFileName(path_); }

private:
    std::string path_;
};

class PayloadText : public QuestSource {
public:
    PayloadText(std::string text, std::string caption)
        : text_(std::move(text)), caption_(std::move(caption)) {}

    void Load(model::TQuests& Quests, model::TQuestParams& QuestParams) override {
        model::ParsePayload(text_, Quests, QuestParams);
    }

    std::string Caption() const override { return caption_; }

private:
    std::string text_;
    std::string caption_;
};

} // namespace

std::unique_ptr<QuestSource> PayloadFileSource(std::string exePath,
                                               std::optional<std::string> firstText) {
    return std::make_unique<PayloadFile>(std::move(exePath), std::move(firstText));
}

std::unique_ptr<QuestSource> QuestFileSource(std::string path) {
    return std::make_unique<QuestFile>(std::move(path));
}

std::unique_ptr<QuestSource> PayloadTextSource(std::string text, std::string caption) {
    return std::make_unique<PayloadText>(std::move(text), std::move(caption));
}

std::string DisplayFileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    try {
        return model::Utf8ToCp1251(name);
    } catch (const std::exception&) {
        return name; // not UTF-8: shown byte for byte
    }
}

} // namespace player
