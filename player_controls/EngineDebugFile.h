#pragma once
// The engine debug file of the player and recorder controls: timed lines appended while a
// file name is set and the level reaches the line's threshold.
#include <cstdint>
#include <string>

enum enDebugMode : int32_t { dmOff = 0, dmBasic = 1, dmMedium = 16, dmFull = 255 };

class EngineDebugFile {
public:
    // Largest file size kept; a longer file is deleted before the next line.
    static constexpr double MaxFileBytes = 1.2 * 1024 * 1024;

    // Sets the name, then the level.
    void SetDebugFile(const std::string& debugFileName, int32_t debugMode);
    // Sets the name; the level becomes dmBasic for a name and dmOff for "".
    void SetFileName(const std::string& debugFileName);
    void SetLevel(int32_t debugMode) { level_ = debugMode; }

    const std::string& FileName() const { return fileName_; }
    int32_t Level() const { return level_; }
    // True when a line of this threshold would be written.
    bool Enabled(int32_t threshold = dmBasic) const;

    // Appends "date time text"; a text beginning "End Function" leaves a blank line after it
    // unless that is switched off. File errors are ignored.
    void Write(const std::string& text, int32_t threshold = dmBasic) const;
    void SetBlankLineAfterEnd(bool value) { blankLineAfterEnd_ = value; }
    bool BlankLineAfterEnd() const { return blankLineAfterEnd_; }

private:
    std::string fileName_;
    int32_t level_ = dmOff;
    bool blankLineAfterEnd_ = true;
};
