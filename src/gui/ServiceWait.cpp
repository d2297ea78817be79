// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ServiceWait.h"

#include "gui/QtText.h"
#include "platform/HostDrives.h"

namespace bootdisk {
namespace {

// An answer given without asking the user comes sooner; it is not worth a word.
constexpr auto kSayAfter = std::chrono::milliseconds(250);

}  // namespace

TServiceWaitNotice::TServiceWaitNotice(QLabel& label, const TStringTable& texts, IDialogs& dialogs)
    : QObject(&label), label_(label), texts_(texts), dialogs_(dialogs) {
    SetDriveServiceWait({[this](const std::string& device, std::chrono::milliseconds waited) { Waiting(device, waited); },
                         [this] { Answered(); }});
}

TServiceWaitNotice::~TServiceWaitNotice() { SetDriveServiceWait({}); }

void TServiceWaitNotice::Waiting(const std::string& device, std::chrono::milliseconds waited) {
    if (!device.empty() && waited >= kSayAfter && !shown_) {
        before_ = label_.text();
        label_.setText(Ui(WithValues(texts_[StrId::GUI_TEXTWAITPERMISSION], {device})));
        shown_ = true;
    }
    dialogs_.ProcessMessages();
}

void TServiceWaitNotice::Answered() {
    if (shown_) label_.setText(before_);
    shown_ = false;
}

}  // namespace bootdisk
