// What the exporter and the importer tell the host about their file type: the texts of its
// file-type lists and about boxes.
#pragma once

#include <string>

struct FileTypeDescription {
    int extensionCount;
    std::string extension; // without the dot
    std::string longDescription;
    std::string shortDescription; // shown in the host's file-type list
    std::string authorName;
    std::string rightsMessage;
    std::string otherMessage1;
    std::string otherMessage2;
    unsigned int version; // times 100
};

// The X file type, version 1.00, with the given long description.
FileTypeDescription xFileTypeDescription(const char* longDescription);
