// Any bytes offered as a stream file: open through the WAV-then-Ogg stream loader, decode a bounded
// stretch, seek to the middle and to the end; the frame counts must stay within what was promised,
// and a Vorbis stream's length within what its bytes can hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "audiolib/Loader.h"
#include "audiolib/MemoryReader.h"
#include "audiolib/VorbisDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace audio;
    {
        // Every packet costs a byte of its page's lacing at least and decodes to at most half the
        // longest block (4096 samples), whatever the last page's granule position says.
        MemoryReader reader(data, size);
        std::unique_ptr<VorbisDecoder> vorbis;
        if (VorbisDecoder::Open(reader, &vorbis) == kOk && vorbis->Frames() > 4096 * static_cast<uint64_t>(size))
            abort();
    }
    std::unique_ptr<Source> source;
    if (OpenStream(std::unique_ptr<Reader>(new MemoryReader(data, size)), &source) != kOk)
        return 0;
    std::vector<int16_t> out(2 * 8192);
    if (source->Read(out.data(), 8192) > 8192)
        abort();
    source->Seek(source->Frames() / 2);
    source->Read(out.data(), 8192);
    source->Seek(source->Frames());
    if (source->Read(out.data(), 16) != 0)
        abort();  // nothing after the end
    return 0;
}
