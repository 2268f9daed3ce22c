// SPDX-License-Identifier: GPL-3.0-or-later
// Exports read back: the video's frames through FFmpeg, the handout's pages and texts
// through poppler, the image's pixels; a cancelled export leaves nothing behind; and the
// frames' colour conversion against its formula.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QListWidget>
#include <QImage>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <random>

#include "core/library/builtin_tactics.h"
#include "core/model/step_title.h"
#include "core/scene/tactic_playback.h"
#include "support/board_view_fixture.h"
#include "support/temp_folder.h"
#include "support/window_fixture.h"
#include "ui/workspace/handout_sheet.h"
#include "ui/export/export_commands.h"
#include "ui/export/export_frame.h"
#include "ui/export/job_sheets.h"
#include "ui/export/still_export.h"
#include "ui/export/video_export.h"
#include "ui/export/yuv_conversion.h"
#include "ui/workspace/canvas_panel.h"

using namespace vantrel;
namespace fs = std::filesystem;

namespace {

struct Video {
    long frames = 0;
    int width = 0;
    int height = 0;
    std::string codec;
    int pixelFormat = -1;
    QImage first;   // the first frame, back in RGB
    QImage last;    // the last frame, when asked for
};

QImage toImage(const AVFrame* frame) {
    QImage image(frame->width, frame->height, QImage::Format_RGB32);
    SwsContext* sws = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                     frame->height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(sws, bt709, 0, bt709, 1, 0, 1 << 16, 1 << 16);
    uint8_t* out[1] = {image.bits()};
    const int stride[1] = {static_cast<int>(image.bytesPerLine())};
    sws_scale(sws, frame->data, frame->linesize, 0, frame->height, out, stride);
    sws_freeContext(sws);
    return image;
}

// Counts the video stream's packets (one per frame) and decodes the first frame, and
// every frame up to the last when `last` is asked for.
Video readVideo(const fs::path& path, bool last = false) {
    Video v;
    AVFormatContext* file = nullptr;
    if (avformat_open_input(&file, path.c_str(), nullptr, nullptr) < 0) return v;
    avformat_find_stream_info(file, nullptr);
    const int index = av_find_best_stream(file, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const AVCodecParameters* par = file->streams[index]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, par);
    avcodec_open2(decoder, codec, nullptr);
    v.width = par->width, v.height = par->height, v.codec = codec->name, v.pixelFormat = par->format;

    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto take = [&] {
        while ((v.first.isNull() || last) && avcodec_receive_frame(decoder, frame) == 0)
            (v.first.isNull() ? v.first : v.last) = toImage(frame);
    };
    while (av_read_frame(file, packet) >= 0) {
        if (packet->stream_index == index) {
            ++v.frames;
            if (v.first.isNull() || last) avcodec_send_packet(decoder, packet), take();
        }
        av_packet_unref(packet);
    }
    avcodec_send_packet(decoder, nullptr), take();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&file);
    return v;
}

// Mean absolute difference per channel, in levels of 255.
double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) sum += vantrel::testing::colourDistance(a.pixelColor(x, y), b.pixelColor(x, y));
    return sum / (3.0 * a.width() * a.height());
}

std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

int pdfPages(const fs::path& path) {
    const std::string info = commandOutput("pdfinfo '" + path.string() + "' 2>/dev/null");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// Where `wanted` occurs in the handout's extracted text, from `from`. Qt writes the
// Noto CJK glyphs that ideographs share with Kangxi radicals as the radicals (二 reads
// back as ⼆), so a radical there stands for any ideograph.
qsizetype findInPdfText(const QList<uint>& text, const std::string& wanted, qsizetype from) {
    const QList<uint> w = QString::fromStdString(wanted).toUcs4();
    for (qsizetype at = from; at + w.size() <= text.size(); ++at)
        if (std::equal(w.begin(), w.end(), text.begin() + at)) return at;
    return -1;
}

Tactic twoSteps() {
    Tactic t = BuiltInTactics::sample(7);
    t.steps.resize(2);
    return t;
}

// Each test writes into a folder of its own; an export leaves its file and nothing else.
template <class Base>
class InFolder : public Base {
protected:
    vantrel::testing::TempFolder dir{"vantrel-export"};
};
using ExportTest = InFolder<::testing::Test>;
using ExportWindowTest = InFolder<vantrel::testing::WindowTest>;

}  // namespace

TEST_F(ExportTest, VideoPlaysTheWholeTacticAndStartsOnItsFirstStep) {
    const Tactic tactic = twoSteps();
    const double seconds = TacticPlayback::seconds(tactic);
    ASSERT_GT(seconds, 1.7);

    ASSERT_TRUE(writeVideo(tactic, {}, dir / "play.mp4"));
    const Video mp4 = readVideo(dir / "play.mp4");
    EXPECT_EQ(mp4.codec, "h264");
    EXPECT_EQ(mp4.pixelFormat, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(QSize(mp4.width, mp4.height), QSize(1920, 1080));
    EXPECT_NEAR(mp4.frames, seconds * 60, 1.0);

    // The first frame is step 1 as the headless PNG shows it.
    ASSERT_TRUE(writeBoardImage(stepScene(tactic, 0, {}), ExportView::flat, QSizeF(960, 540), 2, dir / "step1.png"));
    const QImage still(QString::fromStdString((dir / "step1.png").string()));
    ASSERT_EQ(still.size(), QSize(1920, 1080));
    ASSERT_FALSE(mp4.first.isNull());
    EXPECT_LT(meanDifference(mp4.first, still), 2.0);

    VideoSettings gifSettings;
    gifSettings.format = VideoFormat::gif;
    ASSERT_TRUE(writeVideo(tactic, gifSettings, dir / "play.gif"));
    const Video gif = readVideo(dir / "play.gif");
    EXPECT_EQ(gif.codec, "gif");
    EXPECT_NEAR(gif.frames, seconds * 20, 1.0);   // its size and colours: GifKeepsColoursFirstSeenLate
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"play.gif", "play.mp4", "step1.png"}));
}

// Cancelling, at the first frame or half-way, stops the painting and the encoding (which
// run on two threads) and leaves nothing, in either format.
TEST_F(ExportTest, CancelledVideoLeavesNothing) {
    const Tactic tactic = twoSteps();
    for (VideoFormat format : {VideoFormat::mp4, VideoFormat::gif})
        for (double stopAt : {0.0, 0.5}) {
            VideoSettings settings;
            settings.format = format;
            bool stopped = false;
            int reportsAfterStop = 0;
            const auto written = writeVideo(tactic, settings, dir / "play", [&](double fraction) {
                reportsAfterStop += stopped;
                stopped = fraction > stopAt;
                return !stopped;
            });
            ASSERT_TRUE(written) << written.error();
            EXPECT_TRUE(written->cancelled);
            EXPECT_EQ(reportsAfterStop, 0);
            EXPECT_EQ(dir.names(), std::vector<std::string>{}) << stopAt;
        }
}

// The GIF's one palette is made from frames over the whole video: strokes that only the
// last step shows keep their inks, as the teams, the pitch and the ball keep theirs.
// And it stays small enough to send: under 8 MB for 10 seconds.
TEST_F(ExportTest, GifKeepsColoursFirstSeenLate) {
    Tactic tactic = BuiltInTactics::library(11).front();
    tactic.steps.resize(3);
    std::vector<BoardAnnotation> strokes;
    double y = 0.15;
    constexpr AnnotationColor kInks[] = {AnnotationColor::yellow, AnnotationColor::red, AnnotationColor::mint, AnnotationColor::pink};
    for (AnnotationColor ink : kInks) {
        BoardAnnotation line{Uuid::random(), AnnotationTool::line, {{0.1, y}, {0.9, y + 0.05}}, "", {}, 1};
        line.style.color = ink;
        line.style.lineWidth = 8;
        strokes.push_back(line);
        y += 0.2;
    }
    tactic.steps.back().annotations = strokes;
    VideoSettings settings;
    settings.format = VideoFormat::gif;
    ASSERT_TRUE(writeVideo(tactic, settings, dir / "play.gif"));
    const Video gif = readVideo(dir / "play.gif", true);
    ASSERT_FALSE(gif.last.isNull());
    EXPECT_LT(static_cast<double>(fs::file_size(dir / "play.gif")), 8e6 / 10 * TacticPlayback::seconds(tactic));

    // The last frame as painted, against the GIF's, colour by colour: how many pixels,
    // and their error summed in levels.
    TacticPlayback playback(tactic, {}, 1.0 / 60);
    std::optional<BoardScene> last;
    while (auto scene = playback.next()) last = std::move(scene);
    const QImage painted = ExportFrame(ExportView::flat).image(*last, QSizeF(960, 540), 1);
    auto levels = [](QRgb a, QRgb b) { return vantrel::testing::colourDistance(QColor(a), QColor(b)); };
    std::map<QRgb, std::pair<long, long>> colours;
    for (int row = 0; row < painted.height(); ++row)
        for (int x = 0; x < painted.width(); ++x) {
            const QRgb want = painted.pixel(x, row);
            auto& [pixels, error] = colours[want];
            ++pixels;
            error += levels(want, gif.last.pixel(x, row));
        }
    // Every colour that fills at least 40 pixels comes back within a few levels: the
    // pitch, its lines, both teams, the ball.
    for (const auto& [colour, counted] : colours) {
        if (counted.first < 40) continue;
        EXPECT_LE(counted.second / (3.0 * counted.first), 6.0) << std::hex << colour << std::dec << " × " << counted.first;
    }
    // The strokes are chalk, grains of ink in many shades: every pixel they change comes
    // back within a few levels on average.
    BoardScene bare = *last;
    bare.annotations.reset();
    const QImage board = ExportFrame(ExportView::flat).image(bare, QSizeF(960, 540), 1);
    long strokePixels = 0, strokeError = 0;
    for (int row = 0; row < painted.height(); ++row)
        for (int x = 0; x < painted.width(); ++x)
            if (painted.pixel(x, row) != board.pixel(x, row))
                ++strokePixels, strokeError += levels(painted.pixel(x, row), gif.last.pixel(x, row));
    ASSERT_GE(strokePixels, 4 * 2000);
    EXPECT_LE(strokeError / (3.0 * strokePixels), 6.0);
}

TEST_F(ExportTest, HandoutHasASummaryThenAPagePerStepWithItsTitleNoteAndNumber) {
    Tactic tactic = BuiltInTactics::library(11).front();
    tactic.steps[1].note = std::string(kAddedStepNote);   // a hint, not a note: not printed
    ASSERT_TRUE(writeHandout({tactic}, {}, dir / "handout.pdf"));
    const std::size_t summary = tactic.steps.size() > 8 ? 2 : 1;   // eight small boards, then twelve a page
    const std::size_t pages = tactic.steps.size() + summary;
    EXPECT_EQ(pdfPages(dir / "handout.pdf"), static_cast<int>(pages));
    const QList<uint> text = QString::fromStdString(commandOutput("pdftotext -raw '" + (dir / "handout.pdf").string() + "' -")).toUcs4();
    // The summary: name, format and stage count, every stage, its page number.
    const std::string counts = "11 人制 · " + std::to_string(tactic.steps.size()) + " 个阶段";
    qsizetype at = findInPdfText(text, counts, findInPdfText(text, tactic.name, 0));
    ASSERT_GE(at, 0) << counts;
    at = findInPdfText(text, std::to_string(summary) + " / " + std::to_string(pages), at);
    ASSERT_GE(at, 0);
    for (std::size_t i = 0; i < tactic.steps.size(); ++i) {
        // Each page, in order: the name, the stage line, the note, the page number.
        const std::string stage = "阶段 " + std::to_string(i + 1) + " · " + cleanStepTitle(tactic.steps[i].title);
        const std::string page = std::to_string(i + 1 + summary) + " / " + std::to_string(pages);
        for (const std::string& line : {tactic.name, stage, writtenNote(tactic.steps[i].note), page}) {
            at = findInPdfText(text, line, at);
            ASSERT_GE(at, 0) << line;
        }
    }
    EXPECT_EQ(findInPdfText(text, std::string(kAddedStepNote), 0), -1);
    // The pitch, the tokens and the text are vector: the pages carry no raster image.
    const std::string images = commandOutput("pdfimages -list '" + (dir / "handout.pdf").string() + "'");
    EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 2) << images;
    EXPECT_EQ(dir.names(), std::vector<std::string>{"handout.pdf"});
}

// A page for each blue player, named after him: his heading, his team, every stage; a
// folder that cannot be made is said and leaves nothing.
TEST_F(ExportTest, JobSheetsGiveEachBluePlayerHisOwnPage) {
    Tactic tactic = BuiltInTactics::sample(7);
    tactic.teams = {TeamSquad{"红星队", "#C0102A", {{"home-5", "陈晨", "中场", 10}}}};
    auto written = writeJobSheets(tactic, {}, dir / "jobs");
    ASSERT_TRUE(written) << written.error();
    ASSERT_EQ(written->size(), 7u);
    EXPECT_EQ(written->back().filename().string(), "10 号 陈晨.pdf");   // in shirt order
    EXPECT_EQ(written->front().filename().string(), "1 号.pdf");
    EXPECT_EQ(pdfPages(written->back()), 1);
    const QList<uint> text = QString::fromStdString(commandOutput("pdftotext -raw '" + written->back().string() + "' -")).toUcs4();
    qsizetype at = findInPdfText(text, "中场 · 红星队 · " + tactic.name, findInPdfText(text, "10 号 陈晨", 0));
    ASSERT_GE(at, 0);
    EXPECT_GE(findInPdfText(text, "阶段 " + std::to_string(tactic.steps.size()), at), 0);
    std::ofstream(dir / "file") << "x";
    EXPECT_EQ(writeJobSheets(tactic, {}, dir / "file").error(), "不是文件夹：" + (dir / "file").string());
}

// The window's commands: the menus hold them, the image is twice the view, and a
// video cancelled half-way from its progress dialog leaves the old file as it was.
TEST_F(ExportWindowTest, WindowCommandsWriteOrLeaveNothing) {
    const WorkspaceActions& a = content().actions();
    QMenu* more = findByName<QToolButton>(window.get(), QStringLiteral("更多操作"))->menu();
    ASSERT_TRUE(more);
    QMenu* file = window->menuBar()->actions().constFirst()->menu();
    for (QAction* action : {a.exportImage, a.exportHandout, a.exportHandouts, a.exportVideo, a.exportJobSheets}) {
        EXPECT_TRUE(more->actions().contains(action)) << action->text().toStdString();
        EXPECT_TRUE(file->actions().contains(action));
    }

    std::vector<ExportKind> asked;
    fs::path answer;
    content().exports().setPathChooser([&](ExportKind kind, const QString&) {
        asked.push_back(kind);
        return std::optional<fs::path>(answer);
    });

    answer = dir / "board.png";
    a.exportImage->trigger();
    const QImage image(QString::fromStdString(answer.string()));
    EXPECT_EQ(image.size(), content().canvas().pitchArea()->size() * 2);
    EXPECT_EQ(store().status(), "已导出：board.png");

    answer = dir / "play.mp4";
    { std::ofstream(answer) << "old"; }
    bool clicked = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QProgressDialog* d : window->findChildren<QProgressDialog*>())
            if (d->isVisible() && d->value() >= 500 && !clicked) {
                for (QPushButton* button : d->findChildren<QPushButton*>())
                    if (button->text() == QStringLiteral("取消")) clicked = true, QTest::mouseClick(button, Qt::LeftButton);
            }
    });
    watcher.start(0);
    a.exportVideo->trigger();
    watcher.stop();
    EXPECT_EQ(store().status(), "已取消导出视频");   // only the watcher's click cancels
    EXPECT_EQ(vantrel::testing::readFileForTest(answer), "old");

    answer = dir / "missing" / "handout.pdf";
    a.exportHandout->trigger();
    EXPECT_EQ(store().status().rfind("导出失败：", 0), 0u) << store().status();
    EXPECT_EQ(asked, (std::vector<ExportKind>{ExportKind::image, ExportKind::video, ExportKind::handout}));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"board.png", "play.mp4"}));

    // Several tactics in one handout: the open one is ticked, Space ticks the next row,
    // Return exports them in the list's order.
    QString proposed;
    content().exports().setPathChooser([&](ExportKind, const QString& name) {
        proposed = name;
        return std::optional<fs::path>(dir / "two.pdf");
    });
    a.exportHandouts->trigger();
    auto* sheet = window->findChild<HandoutSheet*>();
    ASSERT_TRUE(sheet);
    QTest::keyClick(sheet->list(), Qt::Key_Down);
    QTest::keyClick(sheet->list(), Qt::Key_Space);
    const std::vector<Tactic> chosen = sheet->chosen();
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen.front(), store().tactic());
    QTest::keyClick(sheet->list(), Qt::Key_Return);
    EXPECT_EQ(proposed, QString::fromStdString(store().tactic().name) + QStringLiteral(" 等 2 个战术.pdf"));
    const auto pages = [](std::size_t steps) { return static_cast<int>(steps + (steps > 8 ? 2 : 1)); };
    EXPECT_EQ(pdfPages(dir / "two.pdf"), pages(chosen[0].steps.size()) + pages(chosen[1].steps.size()));
}

// The colour conversion of every H.264 frame: the vector loop (sixteen pixels at a time)
// and the plain one (the rest of a row) both give what the formula gives.
TEST(YuvConversion, EveryPixelAndBlockAsTheFormulaSays) {
    // Two vector steps and a tail of three blocks; random colours, with a white and a
    // black block first, the ends of the range.
    constexpr int kWidth = 2 * 16 + 6, kHeight = 4;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    std::mt19937 random(20);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, x < 2 ? 0xffffffffu : x < 4 ? 0xff000000u : (0xff000000u | (random() & 0xffffff)));
    std::vector<uint8_t> luma(kWidth * kHeight), cb(kWidth * kHeight / 4), cr(kWidth * kHeight / 4);
    uint8_t* const planes[3] = {luma.data(), cb.data(), cr.data()};
    const int linesizes[3] = {kWidth, kWidth / 2, kWidth / 2};
    toYuv420(image, planes, linesizes);

    EXPECT_EQ(luma[0], 235);
    EXPECT_EQ(luma[2], 16);
    EXPECT_EQ(cb[0], 128);
    EXPECT_EQ(cr[1], 128);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const QRgb p = image.pixel(x, y);
            EXPECT_EQ(luma[y * kWidth + x], (16 * 256 + 128 + 47 * qRed(p) + 157 * qGreen(p) + 16 * qBlue(p)) >> 8) << x << "," << y;
        }
    for (int y = 0; y < kHeight; y += 2)
        for (int x = 0; x < kWidth; x += 2) {
            int r = 0, g = 0, b = 0;
            for (const QRgb p : {image.pixel(x, y), image.pixel(x + 1, y), image.pixel(x, y + 1), image.pixel(x + 1, y + 1)})
                r += qRed(p), g += qGreen(p), b += qBlue(p);
            const int at = y / 2 * (kWidth / 2) + x / 2;
            EXPECT_EQ(cb[at], (128 * 1024 + 512 - 26 * r - 87 * g + 113 * b) >> 10) << x << "," << y;
            EXPECT_EQ(cr[at], (128 * 1024 + 512 + 112 * r - 102 * g - 10 * b) >> 10) << x << "," << y;
        }
}
