#include "image/DirectWriters.h"

#include <gtest/gtest.h>

#include "platform/sim/SimHost.h"
#include "support/TestSupport.h"

namespace bootdisk {
namespace {

std::string Text(const std::optional<std::vector<std::uint8_t>>& bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
}

// A payload of the named empty files.
TExeDataBase Payload(const std::vector<std::string>& names) {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> items;
    for (const auto& name : names) items.push_back({name, {}});
    TMemoryStream container(test::StoredContainer(items));
    TExeDataBase payload;
    payload.LoadFromStream(container);
    return payload;
}

TEST(DirectWriters, AutoexecGoesToTheRootWithLongLinesCut) {
    TSimHost host;
    ASSERT_TRUE(WriteAutoexecBat(host, "A:\\", "Running Halvex Quellmark 2005 ...", std::string(300, 'p'), false));
    EXPECT_EQ(Text(host.FileBytes("A:\\AUTOEXEC.BAT")),
              "@echo off\r\nprompt $p$g\r\ncd \\Korvane\r\n@echo Running Halvex Quellmark 2005 ...\r\nKorvane " +
                  std::string(247, 'p') + "\r\n");
}

TEST(DirectWriters, IniGoesWhereThePayloadPutsIt) {
    TSimHost host;
    const auto payload = Payload({"AUTOEXEC.BAT", "Korvane\\DATA\\KORVANE.INI"});
    ASSERT_TRUE(WriteSanitizerIni(host, "A:\\", payload, kDefaultOptions));
    EXPECT_EQ(Text(host.FileBytes("A:\\Korvane\\DATA\\KORVANE.INI")),
              "O1=1\r\nO2=0\r\nO3=0\r\nO4=1\r\nO5=1\r\nO6=1\r\nO7=0\r\nO8=0\r\nO9=1\r\nO10=0\r\nO11=1\r\nL=0\r\n");
    EXPECT_EQ(SanitizerIniPath(Payload({"A.TXT"})), "Korvane\\Data\\korvane.ini");
}

TEST(DirectWriters, AFileThatCannotBeWrittenGivesFalse) {
    const auto& host = RealHost();
    EXPECT_FALSE(WriteAutoexecBat(host, "/nonexistent-folder/", "x", "", true));
}

}  // namespace
}  // namespace bootdisk
