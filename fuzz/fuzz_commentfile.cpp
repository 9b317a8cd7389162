// Feeds arbitrary bytes to the comment-file reader. Whatever it accepts must write out to a
// file that reads back to the same document text, with no byte the reader cannot take: saving
// twice never changes a file.
#include "core/document/commentfile.h"
#include "core/platform/textfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    CommentDocument document;
    if (!CommentFile::parse(bytes, document))
        return 0;

    const QString written = CommentFile::compose(document, document.ItemFonts);
    CommentDocument again;
    const Result<CommentFile::ReadDetails> back = CommentFile::parse(TextFile::encode(written), again);
    if (!back || back->unreadableBytes != 0)
        std::abort();
    if (CommentFile::compose(again, again.ItemFonts) != written)
        std::abort();
    return 0;
}
