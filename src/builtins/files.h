// The file, directory and disk functions: each mechanism binds its bodies.
#pragma once

namespace zel::calls {

void RegisterFileTable();   // FileOpen, FileRead, FileWrite, FileClose
void RegisterFileCopy();    // FileCopy, FileMove, FileAppend and the Attr forms
void RegisterFileList();    // FileItemize, DirItemize, FileItemPath, FileLocate
void RegisterFileNames();   // name parts, FileFullName, long and short names
void RegisterFileInfo();    // existence, sizes, attributes, deletion and renaming
void RegisterFileTimes();   // file times in the YmdHms form
void RegisterFileArrays();  // FileInfoToArray, DirInfoToArray
void RegisterFileWhole();   // FileGet, FilePut and their UTF-16 forms
void RegisterFileExtras();  // FileCompare, FileCreateTemp, FileVerInfo, FileDigest, ...
void RegisterDirs();        // DirChange, DirGet, DirMake, DirRemove, ...
void RegisterDisks();       // the disk functions

}  // namespace zel::calls
