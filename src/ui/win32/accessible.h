// Names for screen readers where a control shows no caption of its own.
//
// Buttons, check boxes, frames and labels are named by their captions, and
// an edit box by the label just before it; a list, a combo box, the rich
// editor or a picture has no such text. Those answer WM_GETOBJECT with the
// system's own accessible object, of which only the name (and, for the list
// and the editor, the value) is ours.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace zelvo {

// `value`, when set, gives the control's value at the moment it is asked.
void SetAccessibleName(HWND control, const std::wstring& name, std::function<std::wstring()> value = {});

// A caption as a screen reader should say it: without the access-key "&"
// and a closing colon.
std::wstring SpokenCaption(const std::string& caption);

}  // namespace zelvo
