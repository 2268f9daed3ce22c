// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/export/video_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "core/model/file_io.h"
#include "ui/export/yuv_conversion.h"

namespace vantrel {

namespace {

std::string avError(int code) {
    // System errors in the words of the status line ("磁盘空间不足"); FFmpeg's own in its.
    if (code < 0 && code > -4096) return fileErrorText(-code);
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// An adaptive palette of at most 256 colours from sample frames spread over the video,
// counted on a 5-bit-per-channel grid (each grid cell's colour is the mean of its
// pixels), and a table from every grid cell to its nearest entry. The board is mostly
// flat fills, but the fills that matter can be small: a ball, a pencil stroke that only
// a later step shows. So the entries are chosen in two rounds, each by pixel count: first
// only colours distinct from every colour already chosen, then the most common of the
// rest (the edges' blends and shades).
class PaletteQuantiser {
public:
    explicit PaletteQuantiser(std::span<const QImage> samples) {
        std::vector<long> count(kCells, 0);
        std::vector<std::array<long, 3>> sum(kCells, {0, 0, 0});
        for (const QImage& sample : samples) {
            const QImage frame = sample.convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < frame.height(); ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
                for (int x = 0; x < frame.width(); ++x) {
                    const QRgb c = line[x];
                    const int cell = cellOf(c);
                    ++count[cell];
                    sum[cell][0] += qRed(c), sum[cell][1] += qGreen(c), sum[cell][2] += qBlue(c);
                }
            }
        }
        std::vector<QRgb> mean(kCells);
        std::vector<int> cells;
        for (int cell = 0; cell < kCells; ++cell) {
            const int r = ((cell >> 10) & 31) * 8 + 4, g = ((cell >> 5) & 31) * 8 + 4, b = (cell & 31) * 8 + 4;
            const long n = count[cell];
            mean[cell] = n > 0 ? qRgb(int(sum[cell][0] / n), int(sum[cell][1] / n), int(sum[cell][2] / n)) : qRgb(r, g, b);
            if (n > 0) cells.push_back(cell);
        }
        std::stable_sort(cells.begin(), cells.end(), [&](int a, int b) { return count[a] > count[b]; });

        std::vector<int> entry(kCells, -1);   // the palette index of a chosen cell
        auto choose = [&](int cell) {
            entry[cell] = static_cast<int>(palette_.size());
            palette_.push_back(mean[cell]);
        };
        for (int cell : cells) {
            if (palette_.size() == kEntries) break;
            if (std::all_of(palette_.begin(), palette_.end(), [&](QRgb e) { return distance(e, mean[cell]) >= kDistinct; }))
                choose(cell);
        }
        for (int cell : cells) {
            if (palette_.size() == kEntries) break;
            if (entry[cell] < 0) choose(cell);
        }
        table_.resize(kCells);
        // A chosen cell maps to its own entry; any other to the entry nearest its mean (or,
        // for a colour the samples lack, its centre).
        for (int cell = 0; cell < kCells; ++cell) {
            int best = entry[cell], bestDistance = 1 << 30;
            for (int i = 0; entry[cell] < 0 && i < static_cast<int>(palette_.size()); ++i)
                if (const int d = distance(palette_[i], mean[cell]); d < bestDistance) best = i, bestDistance = d;
            table_[cell] = static_cast<uint8_t>(std::max(best, 0));
        }
    }

    void map(const QImage& frame, AVFrame* out) const {
        for (int y = 0; y < frame.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            uint8_t* target = out->data[0] + static_cast<std::ptrdiff_t>(y) * out->linesize[0];
            for (int x = 0; x < frame.width(); ++x) target[x] = table_[cellOf(line[x])];
        }
        auto* entries = reinterpret_cast<uint32_t*>(out->data[1]);
        for (int i = 0; i < 256; ++i) entries[i] = i < static_cast<int>(palette_.size()) ? (0xff000000u | palette_[i]) : 0xff000000u;
    }

private:
    static constexpr int kCells = 1 << 15;
    static constexpr std::size_t kEntries = 256;
    // Weighted squared distance (3 R, 4 G, 2 B: roughly how much each channel shows) of
    // colours counted as distinct in the first round: about 12 levels on every channel.
    static constexpr int kDistinct = 9 * 12 * 12;
    static int cellOf(QRgb c) { return ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3); }
    static int distance(QRgb a, QRgb b) {
        const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
        return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    }

    std::vector<QRgb> palette_;
    std::vector<uint8_t> table_;
};

}  // namespace

struct VideoEncoder::Impl {
    VideoFormat format = VideoFormat::mp4;
    QSize size;
    AVFormatContext* container = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    std::unique_ptr<Frame> frame;   // for adding images: made by the first
    AVPacket* packet = nullptr;
    std::unique_ptr<PaletteQuantiser> quantiser;
    long nextPts = 0;
    bool headerWritten = false;
    bool finished = false;

    ~Impl() {
        if (container) {
            if (container->pb) avio_closep(&container->pb);
            avformat_free_context(container);
        }
        avcodec_free_context(&codec);
        av_packet_free(&packet);
    }

    // Moves every packet the encoder has ready into the file.
    Status drain() {
        while (true) {
            const int r = avcodec_receive_packet(codec, packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return success();
            if (r < 0) return Status::failure("编码失败：" + avError(r));
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            const int w = av_interleaved_write_frame(container, packet);
            if (w < 0) return Status::failure("写入视频失败：" + avError(w));
        }
    }
};

VideoEncoder::VideoEncoder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
VideoEncoder::~VideoEncoder() = default;

Result<std::unique_ptr<VideoEncoder>> VideoEncoder::open(const std::filesystem::path& path, VideoFormat format,
                                                         QSize size, int fps) {
    using R = Result<std::unique_ptr<VideoEncoder>>;
    av_log_set_level(AV_LOG_FATAL);
    auto impl = std::make_unique<Impl>();
    impl->format = format;
    impl->size = size;
    const bool mp4 = format == VideoFormat::mp4;

    // The container is named, not guessed: the file being written has a temporary name.
    int r = avformat_alloc_output_context2(&impl->container, nullptr, mp4 ? "mp4" : "gif", path.c_str());
    if (r < 0 || !impl->container) return R::failure("无法创建视频容器：" + avError(r));

    const AVCodec* codec = mp4 ? avcodec_find_encoder_by_name("libx264") : nullptr;
    if (!codec) codec = avcodec_find_encoder(mp4 ? AV_CODEC_ID_H264 : AV_CODEC_ID_GIF);
    if (!codec) return R::failure(mp4 ? "没有可用的 H.264 编码器" : "没有可用的 GIF 编码器");

    impl->stream = avformat_new_stream(impl->container, nullptr);
    impl->codec = avcodec_alloc_context3(codec);
    impl->packet = av_packet_alloc();
    if (!impl->stream || !impl->codec || !impl->packet) return R::failure("内存不足");

    AVCodecContext* c = impl->codec;
    c->width = size.width();
    c->height = size.height();
    c->time_base = AVRational{1, fps};
    c->framerate = AVRational{fps, 1};
    c->pix_fmt = mp4 ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_PAL8;
    if (mp4) {
        c->gop_size = 2 * fps;
        c->max_b_frames = 2;
        // The encoder's own threads, as many as it picks for the cores (x264: 1.5 a core),
        // each on whole frames: slices would cost quality, and measured slower. On two
        // cores shared with the painting, fixed counts of 2 or 3 were no faster, 4 and
        // more slower.
        c->thread_count = 0;
        c->thread_type = FF_THREAD_FRAME;
        // Tagged as what toYuv420 writes: BT.709, limited range.
        c->colorspace = AVCOL_SPC_BT709;
        c->color_primaries = AVCOL_PRI_BT709;
        c->color_trc = AVCOL_TRC_BT709;
        c->color_range = AVCOL_RANGE_MPEG;
        // The export must outrun the playback on a small, busy machine: the fastest preset
        // at a quality that keeps flat fills and lines clean, at the cost of a larger file
        // (about 13 MB a minute of 1080p60 board).
        av_opt_set(c->priv_data, "preset", "ultrafast", 0);
        av_opt_set(c->priv_data, "crf", "20", 0);
    }
    if (impl->container->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    r = avcodec_open2(c, codec, nullptr);
    if (r < 0) return R::failure("无法打开编码器：" + avError(r));
    r = avcodec_parameters_from_context(impl->stream->codecpar, c);
    if (r < 0) return R::failure("无法设置视频流：" + avError(r));
    impl->stream->time_base = c->time_base;
    impl->stream->avg_frame_rate = c->framerate;

    r = avio_open(&impl->container->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (r < 0) return R::failure("无法写入视频文件：" + avError(r));
    AVDictionary* options = nullptr;
    // The index goes first, so a shared video starts playing before it has fully loaded.
    if (mp4) av_dict_set(&options, "movflags", "+faststart", 0);
    r = avformat_write_header(impl->container, &options);
    av_dict_free(&options);
    if (r < 0) return R::failure("无法写入视频文件头：" + avError(r));
    impl->headerWritten = true;
    return std::unique_ptr<VideoEncoder>(new VideoEncoder(std::move(impl)));
}

VideoEncoder::Frame::~Frame() { av_frame_free(&frame_); }

Result<std::unique_ptr<VideoEncoder::Frame>> VideoEncoder::newFrame() const {
    using R = Result<std::unique_ptr<Frame>>;
    AVFrame* frame = av_frame_alloc();
    if (!frame) return R::failure("内存不足");
    std::unique_ptr<Frame> owned(new Frame(frame));
    frame->format = impl_->codec->pix_fmt;
    frame->width = impl_->codec->width;
    frame->height = impl_->codec->height;
    if (const int r = av_frame_get_buffer(frame, 0); r < 0) return R::failure("内存不足：" + avError(r));
    return owned;
}

Status VideoEncoder::convert(const QImage& image, Frame& into) {
    Impl& m = *impl_;
    if (image.size() != m.size) return Status::failure("画面尺寸不符");
    const QImage frame = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                             ? image
                             : image.convertToFormat(QImage::Format_RGB32);
    // A frame the encoder still holds is copied first, never written under it.
    if (const int r = av_frame_make_writable(into.frame_); r < 0) return Status::failure("内存不足：" + avError(r));
    if (m.format == VideoFormat::mp4) {
        toYuv420(frame, into.frame_->data, into.frame_->linesize);
    } else {
        if (!m.quantiser) m.quantiser = std::make_unique<PaletteQuantiser>(std::span(&frame, 1));
        m.quantiser->map(frame, into.frame_);
    }
    return success();
}

Status VideoEncoder::add(Frame& frame) {
    Impl& m = *impl_;
    if (m.finished) return Status::failure("视频已结束");
    frame.frame_->pts = m.nextPts++;
    const int r = avcodec_send_frame(m.codec, frame.frame_);
    if (r < 0) return Status::failure("编码失败：" + avError(r));
    return m.drain();
}

Status VideoEncoder::add(const QImage& image) {
    Impl& m = *impl_;
    if (m.finished) return Status::failure("视频已结束");
    if (!m.frame) {
        auto made = newFrame();
        if (!made) return Status::failure(made.error());
        m.frame = std::move(made.value());
    }
    if (auto converted = convert(image, *m.frame); !converted) return converted;
    return add(*m.frame);
}

void VideoEncoder::setPalette(std::span<const QImage> samples) {
    if (impl_->format == VideoFormat::gif && !samples.empty()) impl_->quantiser = std::make_unique<PaletteQuantiser>(samples);
}

Status VideoEncoder::finish() {
    Impl& m = *impl_;
    if (m.finished) return success();
    m.finished = true;
    int r = avcodec_send_frame(m.codec, nullptr);
    if (r < 0) return Status::failure("编码失败：" + avError(r));
    if (auto drained = m.drain(); !drained) return drained;
    r = av_write_trailer(m.container);
    if (r < 0) return Status::failure("写入视频失败：" + avError(r));
    // A write that failed on the way (a full disk) is remembered by the context; the
    // flush and close report only their own.
    avio_flush(m.container->pb);
    const int pending = m.container->pb->error;
    r = avio_closep(&m.container->pb);
    if (pending < 0) r = pending;
    if (r < 0) return Status::failure("写入视频失败：" + avError(r));
    return success();
}

}  // namespace vantrel
