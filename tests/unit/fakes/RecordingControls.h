// The page's controls and services as a recording: every operation is logged in order, and the
// combo boxes hold real item lists so that selections and counts behave like the dialog's.
#pragma once

#include "ui/PageControls.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class RecordingControls : public PageControls, public PageServices {
  public:
    struct Combo {
        std::vector<std::string> texts;
        std::vector<std::uint32_t> data;
        int selection = -1; // CB_ERR: nothing selected
    };

    std::vector<std::string> calls;
    std::map<int, Combo> combos;
    std::set<int> missing; // ids GetDlgItem would not find
    // What the controls show after the operations so far; a control never enabled or shown
    // explicitly is absent.
    std::map<int, int> checks;
    std::map<int, bool> enabled;
    std::map<int, bool> shown;
    // What the page bound as current does when refreshed; nothing when no page is bound.
    std::function<void()> currentPageRefresh;

    void SetCheck(int id, int flag) override {
        Log("check", id, flag);
        if (!missing.count(id))
            checks[id] = flag;
    }
    void ReportChange() override { calls.push_back("changed"); }
    void Enable(int id, bool enable) override {
        Log("enable", id, enable);
        if (!missing.count(id))
            enabled[id] = enable;
    }
    void Show(int id, bool show) override {
        Log("show", id, show);
        if (!missing.count(id))
            shown[id] = show;
    }
    void InvalidateSoundArea() override { calls.push_back("invalidate sound area"); }

    bool HasControl(int id) override { return !missing.count(id); }
    int ComboAddString(int id, const char* text) override {
        calls.push_back("add " + std::to_string(id) + " " + text);
        if (missing.count(id))
            return 0;
        combos[id].texts.push_back(text);
        combos[id].data.push_back(0);
        return static_cast<int>(combos[id].texts.size()) - 1;
    }
    void ComboSetItemData(int id, int index, std::uint32_t value) override {
        calls.push_back("data " + std::to_string(id) + "[" + std::to_string(index) +
                        "]=" + std::to_string(value));
        if (!missing.count(id) && index >= 0 && index < static_cast<int>(combos[id].data.size()))
            combos[id].data[index] = value;
    }
    int ComboGetCount(int id) override {
        calls.push_back("count " + std::to_string(id));
        return missing.count(id) ? 0 : static_cast<int>(combos[id].texts.size());
    }
    int ComboGetCurSel(int id) override {
        calls.push_back("get selection " + std::to_string(id));
        return missing.count(id) ? 0 : combos[id].selection;
    }
    void ComboSetCurSel(int id, int index) override {
        Log("select", id, index);
        if (missing.count(id))
            return;
        // As the combo box does: an index outside the list clears the selection.
        Combo& combo = combos[id];
        combo.selection = index >= 0 && index < static_cast<int>(combo.texts.size()) ? index : -1;
    }

    void LaunchDiagnosticTool() override { calls.push_back("launch diagnostic tool"); }
    void RefreshCurrentPage() override {
        calls.push_back("refresh current page");
        if (currentPageRefresh)
            currentPageRefresh();
    }

  private:
    void Log(const char* what, int id, int value) {
        calls.push_back(std::string(what) + " " + std::to_string(id) + "=" + std::to_string(value));
    }
};
