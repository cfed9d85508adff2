#include "ui/main/WindowScanView.h"

#include "platform/Charset.h"
#include "platform/UiCarrier.h"
#include "scan/WatchLists.h"
#include "ui/lists/TForm3.h"
#include "ui/lists/TForm5.h"
#include "ui/main/Forms.h"
#include "ui/main/TForm1.h"

#include <optional>
#include <utility>

namespace korvane {

namespace {

class WindowScanView : public ScanView
{
public:
    WindowScanView(TForm1& window, std::shared_ptr<ScanControl> control)
        : m_window(&window), m_control(control), m_carrier(&window, std::move(control))
    {}

    int serverBoxCount() override
    {
        return read<int>([w = m_window] { return w->ComboBoxEx1->count(); });
    }
    int rowCount() override
    {
        return read<int>([w = m_window] { return w->ListView3->rowCount(); });
    }
    std::vector<std::string> rowHosts(int first, int count) override
    {
        return read<std::vector<std::string>>([w = m_window, first, count] {
            std::vector<std::string> hosts;
            hosts.reserve(static_cast<std::size_t>(std::max(count, 0)));
            for (int row = first; row < first + count; ++row) {
                const QTreeWidgetItem* item = w->ListView3->row(row);
                hosts.push_back(item ? toBytes(item->text(HostColumn)) : std::string());
            }
            return hosts;
        });
    }
    std::string currentList() override
    {
        return read<std::string>([w = m_window] { return w->state.CurrentList; });
    }
    // Atomics of the window's state, read whole from the worker's thread; the
    // halt, which comes before the window's end, cannot cross the read.
    int timeoutMs() override
    {
        int value = 0;
        if (!m_control->whileRunning([&] { value = m_window->state.TimeoutMs.load(); })) throw ScanHalted{};
        return value;
    }
    bool checkClantags() override
    {
        bool value = false;
        if (!m_control->whileRunning([&] { value = m_window->state.CheckClantags.load(); }))
            throw ScanHalted{};
        return value;
    }

    void hideListEditors() override
    {
        settle();
        post([](TForm1& w) {
            if (w.forms().Form5 && w.forms().Form5->isVisible()) {
                w.forms().Form5->hide();
                if (w.forms().Form3) w.forms().Form3->hide();
            }
        });
    }
    void unsortTable() override
    {
        settle();
        post([](TForm1& w) { w.ListView3->setSortType(ListView::SortType::None); });
    }
    void clearBuddies() override
    {
        settle();
        post([](TForm1& w) { w.ListView2->clear(); });
    }
    void startProgress() override
    {
        settle();
        post([](TForm1& w) {
            w.ProgressBar1->show();
            w.ProgressBar1->setValue(0);
        });
    }
    // Painting is left to the event loop, which runs between the worker's trips.
    void repaintBuddies() override
    {
        post([](TForm1& w) { w.ListView2->viewport()->update(); });
    }
    // Nothing paints between the changes of one trip, so changes whose end
    // state is all that shows are held back and posted as one where that
    // saves the window work: the bar repaints itself at once on every
    // visible step, which costs more than all else a row does.
    void stepProgress() override { ++m_steps; }
    void setStatusText(const std::string& status) override
    {
        post([t = toQString(status)](TForm1& w) { w.setStatusText(t); });
    }
    void repaintWindow() override
    {
        post([](TForm1& w) {
            w.update();
            w.ListView2->viewport()->update();
        });
    }
    void addBuddy(const std::string& caption, const std::string& host) override
    {
        postCaption();
        post([c = toQString(caption), h = toQString(host)](TForm1& w) { w.ListView2->addItem(c, {h}, 0); });
    }
    // The caption follows the item count, so of several updates with no
    // item added between them the last does it.
    void updateBuddyCaption() override { m_captionDue = true; }
    void writeRow(int row, const ScanRow& contents) override
    {
        post([row, contents](TForm1& w) {
            w.ListView3->setRow(row,
                                {toQString(contents.caption), toQString(contents.map),
                                 toQString(contents.host), toQString(contents.game)},
                                contents.image);
        });
    }
    // Rows are scrolled to one after the other; showing the first and the
    // last of such a run ends where showing each of them does.
    void scrollToRow(int row) override
    {
        if (m_scrollRun && m_scrollRun->second + 1 == row) {
            m_scrollRun->second = row;
            return;
        }
        postScrolls();
        m_scrollRun = {row, row};
    }
    void hideProgress() override
    {
        settle();
        post([](TForm1& w) { w.ProgressBar1->hide(); });
    }
    void sortPlayersAndBuddies() override
    {
        settle();
        post([](TForm1& w) {
            w.ListView1->sortNow();
            w.ListView2->sortNow();
        });
    }
    void sortTableByCaption() override
    {
        settle();
        post([](TForm1& w) {
            w.ListView3->setSortType(ListView::SortType::Text);
            w.ListView3->sortNow();
        });
    }
    void scrollToFirstPopulated() override
    {
        settle();
        post([](TForm1& w) {
            for (int i = 0; i < w.ListView3->rowCount(); ++i) {
                QTreeWidgetItem* item = w.ListView3->row(i);
                if (showsPlayers(toBytes(ListView::caption(item)))) {
                    w.ListView3->scrollToItem(item);
                    return;
                }
            }
        });
    }
    void endScanning() override
    {
        settle();
        post([](TForm1& w) {
            w.showScanEnded();
            w.alertNewBuddies();
        });
    }
    void flush() override
    {
        settle();
        m_carrier.flush();
    }
    void send() override
    {
        settle();
        m_carrier.send();
    }

private:
    template <typename T> T read(std::function<T()> get)
    {
        settle();
        return m_carrier.read<T>(std::move(get));
    }
    // The changes held back, posted before anything they do not commute with.
    void settle()
    {
        postSteps();
        postScrolls();
        postCaption();
    }
    void postScrolls()
    {
        if (!m_scrollRun) return;
        post([run = *m_scrollRun](TForm1& w) {
            for (const int row : {run.first, run.second}) {
                if (QTreeWidgetItem* item = w.ListView3->row(row)) w.ListView3->scrollToItem(item);
                if (run.first == run.second) break;
            }
        });
        m_scrollRun.reset();
    }
    void postCaption()
    {
        if (!m_captionDue) return;
        post([](TForm1& w) {
            w.ListView2->setColumnCaption(0, toQString(buddyColumnCaption(w.ListView2->rowCount())));
        });
        m_captionDue = false;
    }
    void postSteps()
    {
        if (m_steps == 0) return;
        post([steps = m_steps](TForm1& w) {
            QProgressBar* bar = w.ProgressBar1;
            int value = bar->value();
            for (int k = 0; k < steps; ++k)
                value = value + 1 > bar->maximum() ? bar->minimum() : value + 1;
            bar->setValue(value);
        });
        m_steps = 0;
    }

    template <typename F> void post(F change)
    {
        m_carrier.post([w = m_window, change = std::move(change)] { change(*w); });
    }

    TForm1* m_window;
    std::shared_ptr<ScanControl> m_control;
    UiCarrier m_carrier;
    // Changes held back: progress steps, a run of rows to scroll to, a caption update.
    int m_steps = 0;
    std::optional<std::pair<int, int>> m_scrollRun;
    bool m_captionDue = false;
};

} // namespace

std::unique_ptr<ScanView> makeWindowScanView(TForm1& window, std::shared_ptr<ScanControl> control)
{
    return std::make_unique<WindowScanView>(window, std::move(control));
}

} // namespace korvane
