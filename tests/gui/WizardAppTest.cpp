// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up: a damaged or missing payload ends it with the corrupt-file message.
#include <QTemporaryDir>
#include <QtTest>

#include "gui/WizardApp.h"
#include "gui/support/ModalAnswerer.h"

namespace bootdisk {

using namespace test;

namespace {

class TNoResources : public IResourceStore {
public:
    std::optional<std::span<const std::uint8_t>> Find(std::string_view) const override { return std::nullopt; }
};

class TDamagedFloppyPayload : public IResourceStore {
public:
    std::optional<std::span<const std::uint8_t>> Find(std::string_view name) const override {
        if (name == "SANITDSK") return std::span<const std::uint8_t>(garbage_);
        return EmbeddedResources().Find(name);
    }

private:
    const std::uint8_t garbage_[7] = {1, 2, 3, 4, 5, 6, 7};
};

}  // namespace

class WizardAppTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    void ExpectCorrupt(const IResourceStore& resources) {
        TWizardApp app(IniSettings(dir_.path().toStdString()));
        TModalAnswerer answerer;
        answerer.Then(Click("BtnMid"));
        QVERIFY(!app.Start(resources));
        QCOMPARE(answerer.seen, QStringList{"The file is corrupt!!!."});
    }

private slots:
    void AMissingPayloadEndsTheStart() { ExpectCorrupt(TNoResources()); }
    void ADamagedFloppyPayloadEndsTheStart() { ExpectCorrupt(TDamagedFloppyPayload()); }
};

}  // namespace bootdisk

QTEST_MAIN(bootdisk::WizardAppTest)
#include "WizardAppTest.moc"
