// SPDX-License-Identifier: GPL-3.0-or-later
// The FAT12 directory and file layer over a whole 1.44 MB image. The input is a list of edits to a
// template image that already holds directories, files, deleted entries and a two-cluster
// subdirectory, so that a few bytes of input reach any structure of the disk; then every operation
// of the layer runs on the edited image.
#include <algorithm>
#include <cstring>
#include <string>

#include "FuzzInput.h"
#include "base/Bytes.h"
#include "image/BootConfig.h"
#include "image/DosBoot.h"
#include "image/FloppyFiles.h"

using namespace bootdisk;
using namespace bootdisk::fat12;

namespace {

// The boot sector, the FATs, the root and the first clusters hold every structure of the template.
constexpr std::uint32_t kEditedBytes = (kRootDirSector + 14 + 48) * kSectorSize;

void WriteFile(TFloppyDirectory& dir, const char* name, std::size_t size) {
    const std::string bytes(size, 'x');
    if (auto file = dir.CreateFile(name)) file->Write(bytes.data(), bytes.size());
}

TVirtualFloppy MakeTemplate() {
    TVirtualFloppy floppy;
    auto boot = floppy.Image().first(kSectorSize);
    PutLE16(&boot[kBpbBytesPerSector], kSectorSize);
    boot[kBpbSectorsPerCluster] = kSectorsPerCluster;
    PutLE16(&boot[kBpbReservedSectors], kFirstFatSector);
    boot[kBpbFatCount] = kFatCount;
    PutLE16(&boot[kBpbRootEntryCount], 224);
    PutLE16(&boot[kBpbTotalSectors], kTotalSectors);
    boot[kBpbMediaDescriptor] = 0xF0;
    PutLE16(&boot[kBpbSectorsPerFat], kFatSectors);
    for (const std::uint32_t fat : {kFirstFatSector, kSecondFatSector})
        std::memcpy(&floppy.Image()[fat * kSectorSize], kEmptyFatStart, sizeof kEmptyFatStart);

    TFloppyDirectory root(floppy);
    WriteFile(root, "IO.SYS", 3000);
    WriteFile(root, "OLD.TXT", 700);
    WriteFile(root, "AUTOEXEC.BAT", 40);
    root.MakeDir("KORVANE");
    root.ChangeDir("KORVANE");
    root.MakeDir("DATA");
    for (int i = 0; i < 20; ++i) WriteFile(root, ("F" + std::to_string(i) + ".TXT").c_str(), 100);
    root.ChangeDir("DATA");
    WriteFile(root, "KORVANE.INI", 600);
    TFloppyDirectory top(floppy);
    top.DeleteFile("OLD.TXT");
    return floppy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TVirtualFloppy kTemplate = MakeTemplate();
    static const TAutoexecTemplate kAutoexec("Running");
    static TVirtualFloppy floppy;  // reused: a fresh 1.44 MB block per run would cost more than the run
    std::copy(kTemplate.Image().begin(), kTemplate.Image().end(), floppy.Image().begin());
    fuzz::TFuzzInput input(data, size);
    // Each edit: a 16-bit place among the structures (or, with the top bit of the first byte, any
    // place on the disk) and the byte to put there.
    while (!input.Empty()) {
        const std::uint32_t where = input.Number(3);
        const std::uint32_t offset = where & 0x800000 ? (where & 0x7FFFFF) % kImageSize : (where & 0xFFFF) % kEditedBytes;
        floppy.Image()[offset] = input.Byte();
    }

    TDirEntry entry;
    TFloppyDirectory root(floppy);
    for (bool found = root.FindFirst(entry); found; found = root.FindNext(entry))
        TFloppyDirectory::EntryName(entry);
    if (root.ChangeDir("KORVANE")) {
        for (bool found = root.FindFirst(entry); found; found = root.FindNext(entry)) {
        }
        root.ChangeDir("..");
    }
    if (auto dir = EnsureDirectory(floppy, "KORVANE\\DATA\\NEW")) {
        WriteFile(*dir, "NEW.BIN", 1500);
        dir->DeleteFile("NEW.BIN");
    }
    TFloppyDirectory again(floppy);
    again.DeleteFile("IO.SYS");
    again.MakeDir("EXTRA");
    WriteFile(again, "BIG.BIN", 40'000);

    TExeDataBase payload;
    for (const char* name : {"AUTOEXEC.BAT", "Korvane\\DATA\\KORVANE.INI", "Korvane\\README.TXT"}) {
        auto& item = payload.Items().emplace_back();
        item.Kind = 1;
        item.Name = name;
        static constexpr std::uint8_t kText[] = {'t', 'e', 'x', 't'};
        item.Data = TSpanStream(kText);
    }
    WriteSanitizerFiles(floppy, payload, {kAutoexec, true, "", "101010101010"});
    return 0;
}
