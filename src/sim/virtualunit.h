#pragma once

#include "model/instructionset.h"
#include "sim/motionprofile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QtGlobal>

#include <array>
#include <functional>

// How the unit judges one received line against the instruction table.

namespace kr44 {

enum class LineCheck { Ok, BadCommand, BadParameter };

// A line is accepted only in the exact form the instruction dialogs compose: a known code and a
// parameter text whose every field is in range and which composes back to the same bytes.
[[nodiscard]] LineCheck checkProgramLine(QByteArrayView line);

struct UnitConfig
{
    std::array<bool, 3> inputs {}; // levels of inputs 1 to 3 at power-up, true = high
    // Positions of the end-of-travel switches, in steps from where the motor stands at power-up
    // (where the position counter reads 0). EOT- must lie below 0 and EOT+ above it.
    qint64 endOfTravelMinus = -100000;
    qint64 endOfTravelPlus = 100000;
    int capacity = 2000;            // program lines the unit holds; more answer "E9"
    qint64 instructionTimeUs = 100; // fetch and decode time of every executed instruction
};

struct TracePoint
{
    qint64 timeUs = 0;
    qint64 position = 0; // position counter
};

// What the latest program run has done; cleared when a program run starts.
struct RunStats
{
    qint64 executed = 0;      // instructions begun
    qint64 distance = 0;      // steps moved, each direction counting
    double peakSpeed = 0;     // steps per second, the fastest of all moves
    double lastMoveSpeed = 0; // the top speed of the executing instruction's move; 0 without one
    qint64 endUs = -1;        // when the run ended; -1 while it runs or before one ran
};

// A KR44 unit as the serial line sees it, driven by a simulated clock. Feed it what arrives on the
// line with receive(), let simulated time pass with advance(); both return the bytes the unit
// sends back. Nothing here touches a device or the real clock, so every behaviour can be tested
// step by step.
//
// Program lines are numbered 1, 2, 3... in the order the unit receives them within a download;
// jump targets and the line number of an "E3" reply use that numbering.
class VirtualUnit
{
public:
    enum class Mode { Idle, Downloading, Running };
    enum class Activity { None, Instruction, Moving, Delaying, Waiting };

    static constexpr int kMaxLineLength = 128;
    static constexpr int kMaxLoopDepth = 8;
    static constexpr int kTraceLimit = 100000;

    explicit VirtualUnit(const UnitConfig &config = {});

    // Bytes that arrived on the line (any split); returns the replies due at the current time.
    [[nodiscard]] QByteArray receive(QByteArrayView bytes);
    // Lets `us` microseconds of simulated time pass; returns the replies produced meanwhile.
    [[nodiscard]] QByteArray advance(qint64 us);
    // Sets input 1 to 3 high or low now; a waiting program reacts at once.
    [[nodiscard]] QByteArray setInput(int input, bool high);

    [[nodiscard]] const UnitConfig &config() const { return m_config; }
    [[nodiscard]] qint64 nowUs() const { return m_nowUs; }
    [[nodiscard]] Mode mode() const { return m_mode; }
    [[nodiscard]] bool isBusy() const { return m_mode == Mode::Running; }
    [[nodiscard]] Activity activity() const
    {
        return m_mode == Mode::Running ? m_activity : Activity::None;
    }
    [[nodiscard]] bool isRunningProgram() const { return m_mode == Mode::Running && !m_direct; }
    // 1-based number of the program line being executed; 0 when no program runs.
    [[nodiscard]] int currentLine() const;
    // The line the run stands at: the one paused before, else currentLine().
    [[nodiscard]] int activeLine() const
    {
        return isPaused() && m_passPc == m_pc ? m_pc + 1 : currentLine();
    }
    [[nodiscard]] QList<QByteArray> program() const { return m_program; }
    [[nodiscard]] const RunStats &runStats() const { return m_stats; }
    // Called as a program line is fetched, with its 1-based number, before it takes effect: the
    // unit's state is still what the previous instruction left.
    void setInstructionHook(std::function<void(int line)> hook) { m_hook = std::move(hook); }

    // Debugging a program run. While paused the program stands still: advance() lets no time
    // pass for it and a changed input takes effect only when it goes on. Lines that arrive are
    // still handled, so the host can stop or replace the paused program.
    void pause();
    // Goes on from where the run was paused; a run paused before a line executes that line.
    void resume();
    // Goes on until the instruction being executed (or the one the run is paused before) has
    // ended, a move at its end, then pauses before the next line is fetched.
    void step();
    [[nodiscard]] bool isPaused() const { return m_paused && isRunningProgram(); }
    // Asked before each program line is fetched, with its 1-based number: true pauses the run
    // there, before the line takes effect (breakpoints).
    void setBreakCheck(std::function<bool(int line)> check) { m_breakCheck = std::move(check); }

    [[nodiscard]] qint64 position() const;       // position counter
    [[nodiscard]] qint64 motorPosition() const;  // steps from the power-up position
    [[nodiscard]] double speed() const;          // steps per second, signed
    [[nodiscard]] bool input(int input) const;   // 1 to 3
    [[nodiscard]] bool output(int output) const; // 1 to 3
    [[nodiscard]] int motor() const { return m_motor; }
    [[nodiscard]] AccelProfile accelProfile() const { return m_accel; }
    // Position over time since the last "E": corners of every move and samples along its ramps.
    [[nodiscard]] QList<TracePoint> trace() const;

private:
    struct LoopFrame
    {
        int bodyStart = 0;  // index of the line after the loop start
        int remaining = -1; // passes still to make; -1 until the loop end is first reached
    };

    struct Motion
    {
        MotionProfile profile;
        qint64 startUs = 0;
        qint64 startPhysical = 0;
        int direction = 1;
        qint64 endUs = 0;             // when the motion stops by itself; max for never
        bool hitsEndOfTravel = false; // the stop at endUs is on a switch
        bool errorAtSwitch = true;    // false for homing, which looks for the switch
        int untilInput = 0;           // go-until: input 1..3, or 0
        bool untilHigh = false;
    };

    void handleLine(const QByteArray &line, bool overlong);
    void handleDownloadLine(const QByteArray &line, bool overlong);
    void handleIdleLine(const QByteArray &line, bool overlong);
    void endDownload();
    void startRun(const QList<QByteArray> &lines, bool direct);
    void finishRun(bool sendReady);
    void abortRun(QByteArrayView error);
    void runUntil(qint64 targetUs);
    // Whether the run pauses before fetching the line at m_pc.
    [[nodiscard]] bool pausesBeforeFetch();
    void endInstruction();

    // virtualunitinstructions.cpp: what each instruction does.
    void executeNext();
    // Moves, delays and waits: true when the instruction goes on taking time (or has ended the
    // run), false when it has nothing to do.
    [[nodiscard]] bool startTimed(char code, const ParamFields &f);
    void jump(char code, const ParamFields &f); // j, J and U
    // L: false when the run stopped with a loop error.
    [[nodiscard]] bool runLoopLine(int count);
    void applySetting(char code, const ParamFields &f);
    // Whether input 1 to 3 stands at `level` as the fields hold it (1 high, 0 low).
    [[nodiscard]] bool inputIs(int input, int level) const;
    [[nodiscard]] QByteArray report(int item) const;

    void startMove(int direction, double distance, bool errorAtSwitch);
    void stopMotionAt(qint64 us);
    void recordMotion(qint64 untilUs);
    void record(qint64 us, qint64 position);
    [[nodiscard]] qint64 physicalAt(qint64 us) const;
    void reply(QByteArrayView text);
    [[nodiscard]] QByteArray takeOutput();
    // now + us, or never when that would overflow.
    [[nodiscard]] static qint64 later(qint64 now, qint64 us);

    UnitConfig m_config;
    qint64 m_nowUs = 0;
    Mode m_mode = Mode::Idle;
    QByteArray m_rx;
    bool m_rxOverlong = false;
    QByteArray m_out;

    QList<QByteArray> m_download;
    bool m_downloadFailed = false;
    QList<QByteArray> m_program;

    QList<QByteArray> m_exec; // the program, or the one direct command, being run
    bool m_direct = false;
    int m_pc = 0;         // index of the next line to execute
    int m_executing = -1; // index of the line being executed
    QList<LoopFrame> m_loops;
    Activity m_activity = Activity::None;
    qint64 m_activityEndUs = 0;
    int m_waitInput = 0;
    bool m_waitHigh = false;
    Motion m_motion;

    qint64 m_physical = 0;      // steps from the power-up position, while no motion runs
    qint64 m_counterOffset = 0; // physical position where the counter reads 0
    std::array<bool, 3> m_inputs {};
    std::array<bool, 3> m_outputs {};
    int m_motor = 1;
    AccelProfile m_accel;
    std::array<int, 3> m_ministep {30, 60, 120};
    std::array<int, 2> m_hold {10, 0};
    QList<TracePoint> m_trace;
    RunStats m_stats;
    std::function<void(int)> m_hook;
    std::function<bool(int)> m_breakCheck;
    bool m_paused = false;
    bool m_stepping = false;
    int m_passPc = -1; // the line index the run was paused before: it goes on past it once
};

} // namespace kr44
