// lzhuf e IN OUT packs IN into an LZH stream; lzhuf d IN OUT unpacks one. OUT appears only when
// the whole job succeeds: the result goes to a temporary file beside it that is then renamed.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <random>
#include <string>

#include "image/LZH.h"

namespace {

using namespace bootdisk;
namespace fs = std::filesystem;

// A fresh file beside the target, removed again unless Commit renames it to the target.
class TPendingFile {
public:
    explicit TPendingFile(const fs::path& target) : target_(target) {
        std::random_device random;
        do {
            path_ = target;
            path_ += ".tmp" + std::to_string(random() % 1000000);
        } while (fs::exists(path_));
    }
    ~TPendingFile() {
        if (!committed_) {
            std::error_code ignored;
            fs::remove(path_, ignored);
        }
    }
    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    std::string Path() const { return path_.string(); }
    void Commit() {
        fs::rename(path_, target_);
        committed_ = true;
    }

private:
    fs::path target_, path_;
    bool committed_ = false;
};

int Usage() {
    std::fputs("usage: lzhuf e IN OUT   (pack)\n       lzhuf d IN OUT   (unpack)\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Usage();
    const std::string mode = argv[1];
    if (mode != "e" && mode != "d") return Usage();
    try {
        TFileStream in(argv[2], FileMode::Read);
        TPendingFile pending(argv[3]);
        {
            TFileStream out(pending.Path(), FileMode::Create);
            if (mode == "e")
                LZHPack(in, out);
            else
                LZHUnpack(in, out);
            out.Close();
        }
        pending.Commit();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lzhuf: %s\n", e.what());
        return 1;
    }
}
