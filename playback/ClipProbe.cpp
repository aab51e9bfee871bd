#include "playback/ClipProbe.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <cstdint>
#include <memory>

namespace zavrio {

namespace {

struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

Input openInput(const std::string& path) {
    AVDictionary* options = nullptr;
    // A downloaded file is not trusted: a playlist inside it must not make
    // the probe reach the network or other files.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* context = nullptr;
    const int opened = avformat_open_input(&context, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    return Input(opened == 0 ? context : nullptr);
}

bool isPicture(const AVStream& stream) {
    return stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
           (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) == 0;
}

// Whether every sample the container's index names lies inside the file.
bool indexWithinFile(AVFormatContext& context) {
    const std::int64_t size = avio_size(context.pb);
    if (size <= 0)
        return false;
    for (unsigned i = 0; i < context.nb_streams; ++i) {
        AVStream* stream = context.streams[i];
        const int entries = avformat_index_get_entries_count(stream);
        for (int e = 0; e < entries; ++e) {
            const AVIndexEntry* entry = avformat_index_get_entry(stream, e);
            if (entry && entry->pos + entry->size > size)
                return false;
        }
    }
    return true;
}

} // namespace

bool HasVideoStream(const std::string& path) {
    Input input = openInput(path);
    if (!input || avformat_find_stream_info(input.get(), nullptr) < 0)
        return false;
    bool picture = false;
    for (unsigned i = 0; i < input->nb_streams; ++i)
        picture = picture || isPicture(*input->streams[i]);
    return picture && indexWithinFile(*input);
}

} // namespace zavrio
