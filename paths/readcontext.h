#pragma once

#include <QString>

class FileSystem;

// What a read of the client works with: the seam to read through and the
// client's top folder. The walk hands it on with every step; a reading made
// ahead on another thread gets one whose seam watches what it reads.
struct ReadContext
{
    const FileSystem &files;
    QString client; // absolute, without a trailing "/"
};
