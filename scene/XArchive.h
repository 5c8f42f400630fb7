// XArchive: the resource archive, the one place where the engine's data comes from.
//
// The archive "data.pck" is a ZIP file read through PhysicsFS; pictures inside it are decoded with
// stb_image. The functions keep one selected archive, one current resource (an entry's bytes exactly as
// stored) and one current picture (decoded pixels), the last two independent of each other.
//
// - Entry names are archive paths with backslashes ("misc\font.bmp"); forward slashes work too.
// - Resource bytes are copied into memory owned here, so they stay valid until QXCloseResource or the next
//   QXOpenResource, whatever happens to the archive meanwhile. A zero byte follows them (not counted in
//   QXGetSize), so a text parser cannot run past the end.
// - Pictures named "*.tga" (any case) decode to R,G,B,A; all others (.bmp, .jpg) to R,G,B. Rows are tightly
//   packed and the BOTTOM row of the picture as a viewer sees it comes first, so that texture coordinate
//   t = 0 is the bottom of the picture.
// - Nothing here throws or crashes on bad data: a missing entry, a corrupt picture or a picture larger than
//   8192 pixels on a side makes the open return false and leaves nothing current. An archive that cannot be
//   opened, an entry that is there but cannot be read and a picture that cannot be decoded are reported in
//   one line each (log and stderr) that names the cause; a missing entry is the caller's to report.
// - Every entry read from a ZIP is compared with the CRC-32 its directory records (read once when the archive
//   is selected); an entry whose bytes differ counts as unreadable: "Archive entry NAME could not be read:
//   damaged data (CRC mismatch)".
// Depends on: PhysicsFS, XArchiveDirectory, XPictureDecoder, XLog.
#pragma once

#include <string>
#include <vector>

#include <cstdint> // uint32_t

// Starts the archive layer. Harmless to call any number of times; true when it is ready.
bool QXInitialize();

// Selects the archive file (a ZIP, or a folder with the same layout). Selecting the archive that is already
// selected keeps it as it is. The password is accepted for compatibility and ignored: archives are not
// encrypted. On failure nothing stays selected, the result is false, and one line naming the path and the
// reason goes to the log and to stderr; the same failure again is not reported again.
bool QXSetArchive(const char* archivePath, const char* password);

// QXSetArchive without the report: on failure, reason says why in words for the user ("file not found",
// "not a ZIP archive", ...), from PhysicsFS's error code. For callers that report the failure themselves.
bool QXSelectArchive(const char* archivePath, std::string& reason);

// Makes the named entry the current resource, replacing the previous one. False when there is no such
// entry; then no resource is current.
bool QXOpenResource(const char* name);

// The current resource's bytes exactly as stored, or null when none is current.
const unsigned char* QXGetData();

// The current resource's length in bytes, 0 when none is current.
uint32_t QXGetSize();

// Releases the current resource; harmless when none is open.
void QXCloseResource();

// Decodes the named picture and makes it the current picture, replacing the previous one. The flag is
// accepted for compatibility and not used. False when the entry is missing, not a picture, damaged or too
// large; then no picture is current. The current resource is not touched.
bool QXOpenPicture(const char* name, bool flag);

// Pixel size of the current picture, 0 when none is current.
uint32_t QXPictureGetWidth();
uint32_t QXPictureGetHeight();

// Bytes per pixel of the current picture: 3 (R,G,B) or 4 (R,G,B,A); 0 when none is current. Uploads take the
// pixel layout from here, not from the picture's name.
int QXPictureGetChannels();

// The current picture's pixels (layout above), or null when none is current.
const unsigned char* QXPictureGetData();

// Releases the current picture; harmless when none is open.
void QXClosePicture();

// --- Beyond the archive library's own calls

// The names of the entries directly in an archive folder ("scene"), sorted; empty when there is none.
std::vector<std::string> QXListEntries(const char* folder);

// Serves the files of a directory in front of every archive selected now or later (the level viewer's
// freshly compiled scene), in place of the directory served before, if any. False, with a line like
// QXSetArchive's, when the directory cannot be mounted; the directory served before then stays.
bool QXSetOverlay(const char* directory);
