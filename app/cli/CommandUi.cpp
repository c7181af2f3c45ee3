// The user-interface services of a headless command.
#include "app/cli/CommandUi.h"

#include "core/HeadlessUi.h"

namespace pw {
namespace {

// Everything goes to the services underneath, boxes only when asked to.
class CountingUi : public UiServices {
public:
    CountingUi(UiServices& under, bool passBoxesOn, std::shared_ptr<int> count)
        : m_under(under), m_passBoxesOn(passBoxesOn), m_count(std::move(count)) {}

    int messageBox(const std::u16string& text, const std::u16string& caption,
                   unsigned flags) override {
        ++*m_count;
        return m_passBoxesOn ? m_under.messageBox(text, caption, flags)
                             : HeadlessUi::defaultAnswer(flags);
    }
    std::optional<std::u16string> chooseFile(const FileChooserRequest& request) override {
        return m_under.chooseFile(request);
    }
    std::optional<std::u16string> chooseFolder(const std::u16string& title,
                                               const std::u16string& initial) override {
        return m_under.chooseFolder(title, initial);
    }
    void post(std::function<void()> task) override { m_under.post(std::move(task)); }
    int startTimer(int intervalMs, std::function<void()> tick) override {
        return m_under.startTimer(intervalMs, std::move(tick));
    }
    void stopTimer(int id) override { m_under.stopTimer(id); }
    void pumpPendingEvents() override { m_under.pumpPendingEvents(); }
    bool isUiThread() const override { return m_under.isUiThread(); }

private:
    UiServices& m_under;
    bool m_passBoxesOn;
    std::shared_ptr<int> m_count;
};

}  // namespace

ScopedCommandUi::ScopedCommandUi(Boxes boxes) : m_count(std::make_shared<int>(0)) {
    UiServices& under = ui();  // the headless default when none was installed
    auto counting = std::make_unique<CountingUi>(under, boxes == Boxes::PassedOn, m_count);
    m_previous = installUi(std::move(counting));
}

ScopedCommandUi::~ScopedCommandUi() {
    installUi(std::move(m_previous));
}

}  // namespace pw
