// sound.bdmv on the BDMV tab: the folder Read shows its entries, Ins and
// Shift+Del edit them, "Create sound.bdmv" makes a file, Save writes it,
// "Play sound entry" and the menu's button sounds reach the audio output (a
// fake that records what is queued).
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QtTest>
#include <deque>
#include <filesystem>
#include <memory>

#include "app/bdmv/bdmv_tab.h"
#include "app/bdmv/sound_view.h"
#include "app/menu/menu_bog_view.h"
#include "app/menu/menu_play_controller.h"
#include "app/menu/menu_tab.h"
#include "app/options/options_tab.h"
#include "app/shell/gui_sink.h"
#include "app/shell/log_view.h"
#include "app/shell/main_window.h"
#include "app/shell/qt_audio_output.h"
#include "app/shell/status_line.h"
#include "app/status/status_tab.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "demo/demo_disc.h"
#include "menu/menu_edit.h"
#include "menu/menu_reader.h"
#include "menu/menu_writer.h"
#include "sound/sound_file.h"
#include "sound/wave_player.h"
#include "support/test_support.h"

using namespace lumora::app;
using lumora::Bytes;
using lumora::TSND;
using lumora::TSoundEntries;

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// An audio output that records the buffers it is given.
class FakeOutput : public lumora::AudioOutput {
public:
    explicit FakeOutput(std::vector<std::size_t>& sizes) : sizes_(sizes) {}
    std::string open(const lumora::PcmFormat&) override { return refuse; }
    bool queue(std::size_t, lumora::ByteView data) override {
        sizes_.push_back(data.size());
        return true;
    }
    void reset() override {}
    bool close() override { return true; }
    void pause() override {}
    void restart() override {}
    std::string refuse;

private:
    std::vector<std::size_t>& sizes_;
};

// An entry of `seconds` of stereo, or `samples` of mono, with distinct data.
TSoundEntries entryOf(std::uint8_t channels, std::size_t bytes, std::uint8_t fill) {
    TSoundEntries entry;
    entry.channelConfiguration = channels;
    entry.length = static_cast<std::uint32_t>(bytes);
    entry.data.assign(bytes, fill);
    return entry;
}

// The demo disc, with a sound.bdmv of two entries when asked.
struct Disc {
    explicit Disc(bool withSound) {
        lumora::makeDemoDisc(dir / "disc");
        if (!withSound) {
            // A folder without AUXDATA: creating the sound file makes it.
            std::filesystem::remove_all(dir / "disc/BDMV/AUXDATA");
            return;
        }
        TSND sound = lumora::newSound();
        lumora::insertSoundEntry(sound, -1, entryOf(lumora::kSoundStereo, 192000, 0x11));
        lumora::insertSoundEntry(sound, 0, entryOf(lumora::kSoundMono, 96000, 0x22));
        std::filesystem::create_directories(dir / "disc/BDMV/AUXDATA");
        lumora::test::writeFile(soundPath(), lumora::soundBytes(sound));
    }
    std::string soundPath() const { return dir / "disc/BDMV/AUXDATA/sound.bdmv"; }
    lumora::test::TempDir dir;
};

struct Window {
    explicit Window(const Disc& disc) {
        window.settingsFactory = [file = q(disc.dir / "settings.ini")] {
            return std::make_unique<QSettings>(file, QSettings::IniFormat);
        };
        window.fileErrorBox = [this](const QString& message) { fileErrors << message; };
        window.startUp({q(disc.dir / "disc/BDMV/index.bdmv")});
        auto output = std::make_unique<FakeOutput>(queued);
        fake = output.get();
        window.useAudioOutput(std::move(output));
        window.sink().asker = [this](const QString& question) {
            questions << question;
            return answer;
        };
        sound().chooseWav = [this](const QString& title, const QString&) {
            wavTitles << title;
            return wavAnswer;
        };
        sound().chooseSaveFile = [this](const QString&, const QString& name) {
            saveNames << name;
            return saveAnswer;
        };
        window.resize(1000, 700);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        window.reporter().setActivationDelay(0);
    }
    SoundView& sound() const { return *window.bdmvTab->soundView; }
    const TSND& model() const { return window.bdmvTab->context().models->sound.sound; }
    QString panel(int index) const { return window.statusLine->panelText(index); }

    TfMain window;
    FakeOutput* fake = nullptr;
    std::vector<std::size_t> queued;
    QStringList fileErrors;
    QStringList questions;
    bool answer = true;
    QStringList wavTitles;
    QString wavAnswer;
    QStringList saveNames;
    QString saveAnswer;
};

QString writeWav(const std::string& path, const TSoundEntries& entry) {
    lumora::test::writeFile(path, lumora::wavImage(entry));
    return q(path);
}

}  // namespace

class SoundTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }
    void readShowsTheEntries();
    void insertDeleteAndSave();
    void otherWaveFormatsAreConvertedWhenAsked();
    void createMakesANewFile();
    void playingReachesTheOutput();
    void buttonSoundsPlayInTheMenu();
    void theProgramsOwnOutputNeverBlocks();
};

void SoundTest::readShowsTheEntries() {
    Disc disc(true);
    Window w(disc);
    SoundView& s = w.sound();
    QVERIFY(s.isVisible());
    QCOMPARE(s.sgSounds->dataRows(), 2);
    const QStringList first{"000", "Stereo", "48kHz", "16", "1 s"};
    const QStringList second{"001", "Mono", "48kHz", "16", "0.5 s"};
    for (int col = 0; col < 5; ++col) {
        QCOMPARE(s.sgSounds->cell(col, 1), first[col]);
        QCOMPARE(s.sgSounds->cell(col, 2), second[col]);
    }
    QCOMPARE(s.sgSounds->toolTip(),
             QString("Sound entries\r\nShift-Del: Delete sound\r\nIns: Insert sound"));
    QVERIFY(s.bPlaySound->isEnabled());
    QVERIFY(!w.window.optionsTab->findChild<QPushButton*>("bCreateSound")->isEnabled());
    // A click tells where the entry lies.
    selectGridRow(s.sgSounds, 2);
    emit s.sgSounds->cellClicked(1, 0);
    QVERIFY2(w.panel(1).startsWith("Data start: 0002EE00 (192"), qPrintable(w.panel(1)));
    // The menu checks button sounds against the two entries.
    QVERIFY(w.window.menuTab->player().options().soundCount == 2);
}

void SoundTest::insertDeleteAndSave() {
    Disc disc(true);
    Window w(disc);
    SoundView& s = w.sound();
    w.wavAnswer = writeWav(disc.dir / "new.wav", entryOf(lumora::kSoundMono, 6, 0x33));
    selectGridRow(s.sgSounds, 1);
    QTest::keyClick(s.sgSounds, Qt::Key_Insert);
    QCOMPARE(w.wavTitles.back(),
             QString("Select a sound file (mandatory 16 bit, 48kHz, uncompressed)"));
    QCOMPARE(w.model().index.entries.size(), std::size_t(3));
    QCOMPARE(w.model().index.entries[1].length, std::uint32_t(6));  // after the first
    QCOMPARE(s.sgSounds->cell(1, 2), QString("Mono"));
    QCOMPARE(s.sgSounds->cell(0, 3), QString("002"));
    // Shift+Del the first: the others move up.
    selectGridRow(s.sgSounds, 1);
    QTest::keyClick(s.sgSounds, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(w.model().index.entries.size(), std::size_t(2));
    QCOMPARE(w.model().index.entries[0].length, std::uint32_t(6));
    // "Save sound entry" writes the entry's WAV image.
    w.saveAnswer = q(disc.dir / "out.wav");
    selectGridRow(s.sgSounds, 2);
    s.bSaveSound->click();
    QCOMPARE(w.saveNames.back(), QString("sound_001.wav"));
    QVERIFY(lumora::test::readFile(disc.dir / "out.wav") ==
            lumora::wavImage(w.model().index.entries[1]));
    // Save on the BDMV tab writes sound.bdmv after the other two.
    w.window.PageControl->setCurrentIndex(TfMain::kBdmv);
    QVERIFY(w.window.bSave->isEnabled());
    w.window.bSave->click();
    QVERIFY(lumora::test::readFile(disc.soundPath()) == lumora::soundBytes(w.model()));
    QVERIFY(std::filesystem::exists(disc.soundPath() + ".backup"));
}

void SoundTest::otherWaveFormatsAreConvertedWhenAsked() {
    Disc disc(true);
    Window w(disc);
    // A 44.1 kHz WAV: the image of an entry with its rate field changed.
    Bytes wav = lumora::wavImage(entryOf(lumora::kSoundStereo, 17640, 0));
    wav[24] = 0x44;
    wav[25] = 0xAC;
    wav[26] = 0;
    wav[27] = 0;
    lumora::test::writeFile(disc.dir / "cd.wav", wav);
    w.wavAnswer = q(disc.dir / "cd.wav");
    w.answer = false;
    selectGridRow(w.sound().sgSounds, 2);
    QTest::keyClick(w.sound().sgSounds, Qt::Key_Insert);
    QCOMPARE(w.questions.back(), QString("Convert to 48 kHz 16-bit PCM?"));
    QCOMPARE(w.model().index.entries.size(), std::size_t(2));
    QVERIFY(w.window.statusTab->reMessage->lines().join('\n').contains(
        "Wave format error! (Mandatory 48 kHz, 16 bit, PCM)"));
    w.answer = true;
    QTest::keyClick(w.sound().sgSounds, Qt::Key_Insert);
    QCOMPARE(w.model().index.entries.size(), std::size_t(3));
    // 0.1 s of stereo at 48 kHz.
    QCOMPARE(w.model().index.entries[2].length, std::uint32_t(19200));
}

void SoundTest::createMakesANewFile() {
    Disc disc(false);
    Window w(disc);
    QPushButton* create = w.window.optionsTab->findChild<QPushButton*>("bCreateSound");
    QVERIFY(create->isEnabled());
    QVERIFY(!w.sound().isVisible());
    // Cancelled: nothing.
    create->click();
    QVERIFY(!w.sound().isVisible());
    QVERIFY(!std::filesystem::exists(disc.dir / "disc/BDMV/AUXDATA"));
    w.wavAnswer = writeWav(disc.dir / "one.wav", entryOf(lumora::kSoundStereo, 192000, 7));
    create->click();
    QCOMPARE(w.window.PageControl->currentIndex(), static_cast<int>(TfMain::kBdmv));
    QVERIFY(w.sound().isVisible());
    QVERIFY(!create->isEnabled());
    QVERIFY(std::filesystem::is_directory(disc.dir / "disc/BDMV/AUXDATA"));
    QCOMPARE(w.model().soundDataStart, std::uint32_t(56));
    w.window.bSave->click();
    QCOMPARE(std::filesystem::file_size(disc.soundPath()), std::uintmax_t(46 + 10 + 192000));
}

void SoundTest::playingReachesTheOutput() {
    Disc disc(true);
    Window w(disc);
    selectGridRow(w.sound().sgSounds, 1);
    w.sound().bPlaySound->click();
    QCOMPARE(w.queued, std::vector<std::size_t>(8, 3000));
    QCOMPARE(w.window.wavePlayer().state(), lumora::WavePlayer::State::Playing);
    // No output device: said in the status line, nothing waits.
    w.window.wavePlayer().stop();
    w.fake->refuse = "No audio output: the sound cannot be played here";
    w.sound().bPlaySound->click();
    QCOMPARE(w.window.wavePlayer().state(), lumora::WavePlayer::State::Stopped);
    QCOMPARE(w.panel(1), QString("No audio output: the sound cannot be played here"));
}

void SoundTest::theProgramsOwnOutputNeverBlocks() {
    // Whatever the machine has (a sound card, a sound server, nothing), a
    // play returns at once: it plays, or the status line says why not.
    Disc disc(true);
    Window w(disc);
    auto output = std::make_unique<QtAudioOutput>();
    QtAudioOutput* qt = output.get();
    w.window.useAudioOutput(std::move(output));
    qt->setPlayer(&w.window.wavePlayer());
    selectGridRow(w.sound().sgSounds, 2);
    w.sound().bPlaySound->click();
    const bool playing = w.window.wavePlayer().state() == lumora::WavePlayer::State::Playing;
    QVERIFY2(playing || !w.panel(1).isEmpty(), "neither playing nor told why");
    QTest::qWait(50);
    w.window.wavePlayer().stop();
    QCOMPARE(w.window.wavePlayer().state(), lumora::WavePlayer::State::Stopped);
}

void SoundTest::buttonSoundsPlayInTheMenu() {
    Disc disc(true);
    Window w(disc);
    // A menu whose one button has selected sound 1 (the mono half second).
    lumora::TIGMenu menu;
    lumora::newMenu(menu);
    lumora::setDefaultValidButton(menu, 0, 0, 0);
    lumora::setButtonField(menu, 0, 0, 0, lumora::ButtonField::SelectedSound, 1, 2);
    lumora::setPageField(menu, 0, lumora::PageField::DefaultSelectedButton, 0);
    lumora::RecordingSink sink;
    lumora::Reporter reporter(sink);
    const std::string path = disc.dir / "sound.mnu";
    QVERIFY(lumora::saveIGS(menu, lumora::IGSForm::MenuFile, path, reporter));
    w.window.PageControl->setCurrentIndex(TfMain::kMenu);
    QVERIFY(w.window.menuTab->loadMenuFile(q(path)));
    w.window.menuTab->cbPlaySound->setChecked(true);
    w.window.menuTab->player().start();
    QCOMPARE(w.queued, std::vector<std::size_t>(8, 1500));
    // The buttons grid plays it on a double click of its sound cell.
    w.window.wavePlayer().stop();
    w.queued.clear();
    w.window.menuTab->bogView->previewAnimation(12, 1);
    QCOMPARE(w.queued.size(), std::size_t(8));
    // Without the option the simulator stays silent.
    w.window.wavePlayer().stop();
    w.queued.clear();
    w.window.menuTab->cbPlaySound->setChecked(false);
    w.window.menuTab->player().start();
    QVERIFY(w.queued.empty());
}

QTEST_MAIN(SoundTest)
#include "sound_test.moc"
