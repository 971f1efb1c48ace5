#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace pdfcompose {

// A child process that renders pages to JPEG files, kept for many pages so
// that a preview costs no process start. A page runs with a time and memory
// budget: a page that would render without end or ask for all memory is
// refused, and the child that rendered it is replaced, never reused. The
// child holds no file of the program and ends with it.
class RenderChild {
public:
    // What to render: a page of a source file as it is, when nothing of it
    // changes in composing (page > 0), or else a one-page PDF in memory.
    struct Job {
        std::string source; // an absolute path
        int page = 0;
        std::string pdf;
        std::string image; // the JPEG file to write, an absolute path
        int dpi = 96, quality = 100;
        double seconds = 0, megabytes = 0;
        double pixels = 0; // the composed page's pixels at dpi, to tell a refused allocation
    };

    RenderChild() = default;
    ~RenderChild();
    RenderChild(const RenderChild&) = delete;
    RenderChild& operator=(const RenderChild&) = delete;

    // Starts the child when there is none, so that it readies the renderer
    // while the caller composes the first page; throws Failure when no
    // child can be started.
    void Launch();
    // Hands the job to the child, started when there is none; throws Failure
    // when no child can be started.
    void Send(Job job);
    bool Busy() const { return m_busy; }
    // The socket to wait on while busy.
    int Socket() const { return m_socket; }
    // When the job sent last runs out of time.
    std::chrono::steady_clock::time_point Deadline() const { return m_deadline; }
    // Reads what the child has written; true once the answer is complete
    // (or the child is gone). Does not block.
    bool Receive();
    // The answer to the last job: true when the image is written, false when
    // the source's page is to be composed and sent again (it has annotations,
    // layers, a form, a user unit, encryption or damage the composition
    // handles, or the child cannot read it as it is); throws Failure with the
    // reason (its time, its memory, the renderer's own, or why the file
    // cannot be written). Stops a child that ran late or failed to render.
    // Call once Receive is true or the deadline has passed.
    bool Answer();
    // Tells the child to end now without waiting for it (the destructor
    // waits): children told together end together.
    void Signal();

private:
    void Start();
    // Ends the child; its exit status.
    int Stop();

    pid_t m_pid = -1;
    int m_socket = -1;
    int m_jobs = 0; // rendered by this child
    bool m_busy = false;
    bool m_ended = false; // the child closed its end
    Job m_job;            // the job being rendered (its budget, for the reasons)
    std::chrono::steady_clock::time_point m_deadline;
    std::string m_answer;
};

} // namespace pdfcompose
