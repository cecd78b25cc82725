#pragma once

// One output format of the export job. The job calls begin() once, writeMessage() for each message in
// order, and end() once. Output appears under its final name only in end(): an exporter destroyed
// without end() (a cancelled or failed export) throws away what it wrote.
template <typename Msg>
class AbsFormatExport
{
public:
    AbsFormatExport() = default;
    virtual ~AbsFormatExport() = default;
    AbsFormatExport(const AbsFormatExport&) = delete;
    AbsFormatExport& operator=(const AbsFormatExport&) = delete;

    // Opens the output and writes any heading; throws std::runtime_error with a text for the user.
    virtual void begin() = 0;
    virtual void writeMessage(const Msg& message) = 0;
    // Finishes the output and puts it in place; throws std::runtime_error when that fails.
    virtual void end() = 0;
};
