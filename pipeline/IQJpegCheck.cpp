#include "IQJpegCheck.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

// jpeglib.h needs size_t and FILE declared first, and jerror.h the build
// options from jpeglib.h.
#include <jpeglib.h>
#include <jerror.h>

namespace {

// Progressive files with thousands of tiny scans take minutes to decode and
// are made only to do that; real encoders write about ten.
constexpr int kMaxScans = 500;

struct CheckState {
    jpeg_error_mgr manager; // first, so that cinfo->err can be cast back
    std::jmp_buf escape;
    bool damaged;
    char message[JMSG_LENGTH_MAX];
};

// Warnings that mean pixels are missing or wrong. libjpeg goes on after
// them and hands out a picture with a grey or smeared part.
bool losesData(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:          // the file ends before the image does
    case JWRN_HIT_MARKER:        // a scan's data ends early
    case JWRN_HUFF_BAD_CODE:     // entropy-coded data is corrupt
    case JWRN_ARITH_BAD_CODE:    // the same for arithmetic coding
    case JWRN_MUST_RESYNC:       // a restart marker is lost or out of order
    case JWRN_BOGUS_PROGRESSION: // a progressive scan is missing
        return true;
    default:
        // Among the others: stray bytes between complete segments (many
        // cameras write them), scan parameters a sequential file ignores,
        // a broken colour profile, unknown JFIF versions. The pixels are
        // all there.
        return false;
    }
}

void remember(j_common_ptr cinfo, CheckState* state)
{
    (*cinfo->err->format_message)(cinfo, state->message);
}

[[noreturn]] void onError(j_common_ptr cinfo)
{
    auto* state = reinterpret_cast<CheckState*>(cinfo->err);
    remember(cinfo, state);
    state->damaged = true;
    std::longjmp(state->escape, 1);
}

void onMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0) // trace output
        return;
    auto* state = reinterpret_cast<CheckState*>(cinfo->err);
    if (!losesData(cinfo->err->msg_code))
        return;
    remember(cinfo, state);
    state->damaged = true;
    // One fault decides; the rest of the data need not be read.
    std::longjmp(state->escape, 1);
}

void onOutput(j_common_ptr) {}

// Hands the data to libjpeg in small pieces. libjpeg-turbo's fast Huffman
// path, which it takes while more than 512 bytes per block of an MCU are
// in the buffer, decodes a bad code as zero without a warning; with less
// in the buffer every code goes through the path that reports it.
constexpr size_t kPieceBytes = 256;

struct PieceSource {
    jpeg_source_mgr manager; // first, so that cinfo->src can be cast back
    const unsigned char* data;
    size_t size;
    size_t next;
};

const JOCTET kEndOfImage[2] = {0xFF, 0xD9};

void sourceStart(j_decompress_ptr) {}
void sourceEnd(j_decompress_ptr) {}

boolean sourceFill(j_decompress_ptr cinfo)
{
    auto* source = reinterpret_cast<PieceSource*>(cinfo->src);
    if (source->next >= source->size) {
        // Reports the cut-off end (the warning ends the check), then gives
        // libjpeg an end marker as its documentation asks.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->manager.next_input_byte = kEndOfImage;
        source->manager.bytes_in_buffer = sizeof kEndOfImage;
        return TRUE;
    }
    const size_t piece = std::min(kPieceBytes, source->size - source->next);
    source->manager.next_input_byte = source->data + source->next;
    source->manager.bytes_in_buffer = piece;
    source->next += piece;
    return TRUE;
}

void sourceSkip(j_decompress_ptr cinfo, long count)
{
    auto* source = reinterpret_cast<PieceSource*>(cinfo->src);
    if (count <= 0)
        return;
    size_t skip = size_t(count);
    if (skip <= source->manager.bytes_in_buffer) {
        source->manager.next_input_byte += skip;
        source->manager.bytes_in_buffer -= skip;
        return;
    }
    skip -= source->manager.bytes_in_buffer;
    source->manager.bytes_in_buffer = 0;
    source->next += std::min(skip, source->size - source->next);
}

void onProgress(j_common_ptr cinfo)
{
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > kMaxScans) {
        auto* state = reinterpret_cast<CheckState*>(cinfo->err);
        std::snprintf(state->message, sizeof state->message, "more than %d scans", kMaxScans);
        state->damaged = true;
        std::longjmp(state->escape, 1);
    }
}

// Only trivially destructible objects live between setjmp and the calls
// that may longjmp back to it.
bool decodesCleanly(CheckState* state, const unsigned char* data, size_t size)
{
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    jpeg_progress_mgr progress;
    std::memset(&progress, 0, sizeof progress);
    PieceSource source;
    std::memset(&source, 0, sizeof source);
    source.manager.init_source = sourceStart;
    source.manager.fill_input_buffer = sourceFill;
    source.manager.skip_input_data = sourceSkip;
    source.manager.resync_to_restart = jpeg_resync_to_restart;
    source.manager.term_source = sourceEnd;
    source.data = data;
    source.size = size;
    cinfo.err = jpeg_std_error(&state->manager);
    state->manager.error_exit = onError;
    state->manager.emit_message = onMessage;
    state->manager.output_message = onOutput;
    if (setjmp(state->escape)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    progress.progress_monitor = onProgress;
    cinfo.progress = &progress;
    cinfo.src = &source.manager;
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        std::snprintf(state->message, sizeof state->message, "no image in the file");
        state->damaged = true;
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // At 1/8 each block yields one pixel from its DC coefficient: the whole
    // entropy-coded data is still decoded, the transform and the colour
    // conversion almost vanish, and a sequential file needs buffers of one
    // block row only.
    cinfo.scale_num = 1;
    cinfo.scale_denom = 8;
    cinfo.do_fancy_upsampling = FALSE;
    cinfo.do_block_smoothing = FALSE;
    cinfo.dct_method = JDCT_IFAST;
    jpeg_start_decompress(&cinfo);
    const JDIMENSION rowBytes = cinfo.output_width * JDIMENSION(cinfo.output_components);
    JSAMPARRAY rows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, rowBytes,
                                                 JDIMENSION(cinfo.rec_outbuf_height));
    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, rows, JDIMENSION(cinfo.rec_outbuf_height));
    // Reads on to the end-of-image marker: the remaining scans of a
    // progressive file, and the cut-off end of any file.
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return !state->damaged;
}

} // namespace

bool IQLooksLikeJpeg(const unsigned char* data, size_t size)
{
    return data && size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

IQJpegIntegrity IQCheckJpegData(const unsigned char* data, size_t size, QString* reason)
{
    if (!IQLooksLikeJpeg(data, size))
        return IQJpegIntegrity::NotJpeg;
    CheckState state;
    std::memset(&state, 0, sizeof state);
    if (decodesCleanly(&state, data, size))
        return IQJpegIntegrity::Intact;
    if (reason)
        *reason = QString::fromLocal8Bit(state.message);
    return IQJpegIntegrity::Damaged;
}
