// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up: a damaged or missing payload ends it with the corrupt-file message; a language file
// that is missing or damaged is said, and the wizard starts in English.
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/Gui.h"
#include "gui/WizardApp.h"
#include "gui/support/ModalAnswerer.h"
#include "support/TestSupport.h"

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

    // Starts in language, answering the one box that must say what message begins with.
    void ExpectEnglishAfter(const std::string& language, const QString& message) {
        TWizardApp app(IniSettings(dir_.path().toStdString()));
        TModalAnswerer answerer;
        answerer.Then(Click("BtnMid"));
        QVERIFY(app.Start(EmbeddedResources(), std::nullopt, language));
        QCOMPARE(answerer.seen.size(), 1);
        QVERIFY2(answerer.seen[0].startsWith(message), qPrintable(answerer.seen[0]));
        QCOMPARE(app.MainForm().findChild<QLabel*>("LabelCreateTitle")->text(), QString("What do you want to create?"));
    }

private slots:
    void AMissingPayloadEndsTheStart() { ExpectCorrupt(TNoResources()); }
    void ADamagedFloppyPayloadEndsTheStart() { ExpectCorrupt(TDamagedFloppyPayload()); }

    void AMissingOrDamagedLanguageFileIsSaidAndEnglishStands() {
        ExpectEnglishAfter("FR", "The language file quellmark.fr.lng is missing: it is looked for in " +
                                     QString::fromStdString(test::BinPath("")));
        const auto damaged = QString::fromStdString(test::BinPath("quellmark.zz.lng"));
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a language file");
        file.close();
        ExpectEnglishAfter("zz", "The language file " + damaged + " is damaged and is not used (");
        QFile::remove(damaged);
    }
};

}  // namespace bootdisk

QTEST_MAIN(bootdisk::WizardAppTest)
#include "WizardAppTest.moc"
