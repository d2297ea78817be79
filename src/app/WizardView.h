// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the wizard presenter asks of a front end's window, and the controls of that window by role:
// the same roles in every front end, so that one scenario can drive each of them.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/CreateList.h"
#include "app/Wizard.h"

namespace bootdisk {

// The window's controls, named as the wizard names them. Row controls also carry their row.
enum class TRole {
    None,
    BtnClose, BtnBack, BtnNext, BtnHelp,
    BtnAdd, BtnRemove, BtnClear, EditNrDisks, ComboBox,
    ChkOptions, CommandLine, HyperLink1, ComboBoxCdOS, ComboBoxOS,
    HyperLink2,
    HyperLink4, ChkMoreDisks, ChkExit,
};

struct TControlRef {
    TRole role = TRole::None;
    std::size_t row = 0;  // for EditNrDisks and ComboBox
    bool operator==(const TControlRef&) const = default;
};

// What a help request opens: a topic by keyword, the table of contents, or a file beside the
// executable ("info.url", "license.txt", "gpl-3.0.txt").
struct THelpTarget {
    enum class TKind { Keyword, Contents, File } kind = TKind::Keyword;
    std::string name;
};

// The help menu in menu order; a separator has no caption.
struct THelpMenuEntry {
    std::string caption;
    enum class TItem { Separator, Contents, PageHelp, Faq, Support, About, Web } item = TItem::Separator;
};

// The About box's texts, filled: the product's copyright under its licence agreement (license), and
// the program's own licence, the GPL (freeSoftware, a link to its text).
struct TAboutTexts {
    std::string caption, product, version, build, copyright, legal, freeSoftware, ok, support, license;
};
// What the About box's buttons and link do.
struct TAboutActions {
    std::function<void()> support, license, freeSoftware;
};

// The keys the window as a whole answers; Delete where a row's kind list has the focus.
enum class TWindowKey { F1, Escape, Return, Delete };

class IWizardView {
public:
    virtual ~IWizardView() = default;

    // The page's controls shown, the others hidden.
    virtual void ShowPage(TPage page) = 0;
    // A footer button's caption (with its mnemonic) and enabled state.
    virtual void ShowButton(TRole button, const TButton& state) = 0;
    virtual void SetEnabled(TRole control, bool enabled) = 0;
    // The options page's boot panels; a hidden panel leaves no gap.
    virtual void ShowBootPanels(bool cd, bool floppy) = 0;
    // The kinds every row offers, the rows to come included; each row's choice is shown again next.
    virtual void ShowKinds(const std::vector<TMediaKind>& kinds) = 0;
    // The creation list's rows, the selected one coloured.
    virtual void ShowRows(const std::vector<TCreateListRow>& rows, std::optional<std::size_t> selected) = 0;
    virtual void ShowSelection(std::optional<std::size_t> selected) = 0;
    virtual void ShowQuantity(std::size_t row, const std::string& text) = 0;
    virtual void ScrollIntoView(std::size_t row) = 0;
    // Under the list: why no removable drive is offered, or why no row can be added; empty when
    // all is well.
    virtual void ShowDrivesNotice(const std::string& text) = 0;
    virtual void ShowCopy(const std::string& text) = 0;
    virtual void ShowGauge(int percent) = 0;
    virtual void ShowFinishTitle(const std::string& text) = 0;
    // Under it, what the run made.
    virtual void ShowMade(const std::string& text) = 0;
    // The finish page's choice, set back to "create more" for the next run.
    virtual void ShowExitChoice(bool exit) = 0;

    // Selects characters of the parameters box, counted in characters from 0.
    virtual void SelectParameters(std::size_t first, std::size_t count) = 0;

    virtual TControlRef Focus() const = 0;
    virtual void SetFocus(TControlRef control) = 0;

    virtual void PopUpHelpMenu() = 0;
    virtual void ShowAbout(const TAboutTexts& texts) = 0;
    // Nothing when it opened; otherwise the file or address that nothing could open.
    virtual std::optional<std::string> Open(const THelpTarget& target) = 0;

    // A read-only text of its own window (the licence when nothing else opens it).
    virtual void ShowText(const std::string& title, const std::string& text) = 0;
    // A help topic or the contents (never a file) in a window of its own, when nothing else opens
    // it; false when its file cannot be read.
    virtual bool ShowTopic(const THelpTarget& target) = 0;

    virtual void Beep() = 0;
    // Whether the window is the one the user works in, a box of it included.
    virtual bool Active() const = 0;
    // The user is wanted while the window is in the background: it asks for attention and,
    // where the desktop shows notices, says text.
    virtual void Attention(const std::string& text) = 0;
    // Repaints at once, before a long run takes the thread.
    virtual void Repaint() = 0;
    virtual void CloseWindow() = 0;
};

}  // namespace bootdisk
