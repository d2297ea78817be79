// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <stdexcept>

#include "optical/IscsiUrl.h"

namespace bootdisk {
namespace {

TEST(IscsiUrl, HostPortTargetAndLun) {
    const auto url = ParseIscsiUrl("iscsi://127.0.0.1:3261/iqn.2005-01.org.example:cd/1");
    EXPECT_EQ(url.host, "127.0.0.1");
    EXPECT_EQ(url.port, 3261);
    EXPECT_EQ(url.target, "iqn.2005-01.org.example:cd");
    EXPECT_EQ(url.lun, 1);
    EXPECT_EQ(url.Portal(), "127.0.0.1:3261");
}

TEST(IscsiUrl, DefaultPortAndIpv6) {
    const auto plain = ParseIscsiUrl("iscsi://writer.lan/iqn.x:y/0");
    EXPECT_EQ(plain.port, 3260);
    EXPECT_EQ(plain.Portal(), "writer.lan:3260");
    const auto v6 = ParseIscsiUrl("iscsi://[::1]:4000/iqn.x:y/2");
    EXPECT_EQ(v6.host, "::1");
    EXPECT_EQ(v6.port, 4000);
    EXPECT_EQ(v6.Portal(), "[::1]:4000");
    EXPECT_EQ(ParseIscsiUrl("iscsi://[fe80::1]/iqn.x:y/3").port, 3260);
}

TEST(IscsiUrl, BadAddressesSayWhatIsWrong) {
    const auto why = [](const char* text) {
        try {
            ParseIscsiUrl(text);
        } catch (const std::invalid_argument& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    EXPECT_NE(why("http://h/iqn/1").find("does not start with iscsi://"), std::string::npos);
    EXPECT_NE(why("iscsi://host").find("no target"), std::string::npos);
    EXPECT_NE(why("iscsi:///iqn.x/1").find("no host"), std::string::npos);
    EXPECT_NE(why("iscsi://h:/iqn.x/1").find("empty port"), std::string::npos);
    EXPECT_NE(why("iscsi://h:0/iqn.x/1").find("port 0"), std::string::npos);
    EXPECT_NE(why("iscsi://h:65536/iqn.x/1").find("port '65536'"), std::string::npos);
    EXPECT_NE(why("iscsi://h:12ab/iqn.x/1").find("port '12ab'"), std::string::npos);
    EXPECT_NE(why("iscsi://h/iqn.x").find("no LUN"), std::string::npos);
    EXPECT_NE(why("iscsi://h/iqn.x/").find("LUN ''"), std::string::npos);
    EXPECT_NE(why("iscsi://h/iqn.x/-1").find("LUN '-1'"), std::string::npos);
    EXPECT_NE(why("iscsi://h/iqn.x/16384").find("LUN '16384'"), std::string::npos);
    EXPECT_NE(why("iscsi://h//1").find("empty target"), std::string::npos);
    EXPECT_NE(why("iscsi://h/a/b/1").find("'/' in the target"), std::string::npos);
    EXPECT_NE(why("iscsi://[::1/iqn.x/1").find("unclosed"), std::string::npos);
    EXPECT_NE(why("iscsi://[::1]x/iqn.x/1").find("after ']'"), std::string::npos);
    EXPECT_NE(why("iscsi://h/iqn.x/1").find("accepted"), std::string::npos);
    EXPECT_NE(why("iscsi://h:x/iqn.x/1").find("expected iscsi://HOST[:PORT]/TARGET-IQN/LUN"), std::string::npos);
}

}  // namespace
}  // namespace bootdisk
