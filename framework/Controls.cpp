#include "Controls.h"

std::wstring CComboBox::GetLBText(int index) const
{
    LRESULT len = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (len == CB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    LRESULT got = SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}
