// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SearchSys.h"

#include <gtest/gtest.h>

#include "platform/sim/ScriptedDialogs.h"
#include "platform/sim/SimHost.h"

namespace bootdisk {
namespace {

TEST(SearchSys, AFolderIsTakenOnlyWithBothSystemFiles) {
    TSimHost host;
    host.AddFile("D:\\DOS\\IO.SYS", {1});
    EXPECT_FALSE(AcceptSystemFolder(host, "D:\\DOS"));  // no command.com yet
    host.AddFile("D:\\DOS\\COMMAND.COM", {2});
    EXPECT_EQ(AcceptSystemFolder(host, "D:\\DOS"), "D:\\DOS\\");
    EXPECT_EQ(AcceptSystemFolder(host, "D:\\DOS\\"), "D:\\DOS\\");
    EXPECT_FALSE(AcceptSystemFolder(host, ""));
}

TEST(SearchSys, CancelClosesOnlyOnYes) {
    TStringTable texts;
    TScriptedDialogs dialogs;
    dialogs.twoChoiceAnswers = {kAnswerRight, kAnswerLeft};
    EXPECT_FALSE(ConfirmSearchCancel(dialogs, texts));
    EXPECT_TRUE(ConfirmSearchCancel(dialogs, texts));
    EXPECT_EQ(dialogs.log.front(), "choice: Are you sure? [Yes|No]");
    EXPECT_TRUE(ConfirmSearchCancel(dialogs, texts));  // closed through the frame: as Yes
}

}  // namespace
}  // namespace bootdisk
