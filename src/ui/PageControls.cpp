#include "ui/PageControls.h"

void FillCombo(PageControls& controls, int comboId, const ComboChoice* table, int count) {
    for (int i = 0; i < count; ++i) {
        controls.ComboAddString(comboId, table[i].text);
        controls.ComboSetItemData(comboId, i, table[i].value);
    }
}

bool ReadComboSelection(PageControls& controls, int notifyCode, int controlId,
                        std::uint32_t* field) {
    if (notifyCode != CbnSelChange)
        return false;
    if (controls.HasControl(controlId))
        *field = static_cast<std::uint32_t>(controls.ComboGetCurSel(controlId));
    return true;
}

void SelectComboItem(PageControls& controls, int comboId, std::uint32_t value) {
    // The field is kept as it is; only what the combo shows is fitted to the list.
    int selection = static_cast<std::int32_t>(value);
    const int count = controls.ComboGetCount(comboId);
    if (count > 0 && selection >= count)
        selection = count - 1;
    controls.ComboSetCurSel(comboId, selection);
}
