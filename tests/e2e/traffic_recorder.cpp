#include "traffic_recorder.h"

#include "xlib_threads.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <X11/extensions/shmproto.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

struct TrafficRecorder::Recording {
    Display* control = nullptr;
    Display* data = nullptr;  // read on its own thread only
    Pixmap marker = 0;        // names the control connection to the record context
    XRecordContext context = 0;
    int shmOpcode = 0;
    std::thread reader;

    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;
    Traffic traffic;
    long marksSent = 0;
    long marksSeen = 0;
    Traffic atLastMark;

    static void intercept(XPointer self, XRecordInterceptData* record)
    {
        reinterpret_cast<Recording*>(self)->count(*record);
        XRecordFreeData(record);
    }

    void count(const XRecordInterceptData& record)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (record.category == XRecordStartOfData)
            started = true;
        changed.notify_all();
        if (!record.data || record.data_len == 0)
            return;
        const unsigned char code = record.data[0];
        if (record.category == XRecordFromClient) {
            if (code == X_QueryKeymap)
                ++traffic.keyStateReads;
            else if (code == shmOpcode && record.data[1] == X_ShmPutImage)
                ++traffic.framesShown;
            else if (code == X_NoOperation) {
                ++marksSeen;
                atLastMark = traffic;
            }
        } else if (record.category == XRecordFromServer && (code & 0x7f) == MotionNotify) {
            ++traffic.motionEvents;
        }
    }
};

TrafficRecorder::TrafficRecorder(const std::string& display, unsigned long programWindow)
    : recording(std::make_unique<Recording>())
{
    enableXlibThreads();
    Recording& r = *recording;
    r.control = XOpenDisplay(display.c_str());
    r.data = XOpenDisplay(display.c_str());
    if (!r.control || !r.data)
        throw std::runtime_error("cannot open display " + display);
    int event = 0, error = 0;
    if (!XQueryExtension(r.control, "MIT-SHM", &r.shmOpcode, &event, &error))
        throw std::runtime_error("the X server has no MIT-SHM, which the frames are shown with");
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(r.control, &major, &minor))
        throw std::runtime_error("the X server has no RECORD extension");

    r.marker = XCreatePixmap(r.control, DefaultRootWindow(r.control), 1, 1, 1);
    XRecordClientSpec clients[] = {programWindow, r.marker};

    XRecordRange* ranges[3] = {XRecordAllocRange(), XRecordAllocRange(), XRecordAllocRange()};
    ranges[0]->core_requests = {X_QueryKeymap, X_QueryKeymap};
    ranges[0]->delivered_events = {MotionNotify, MotionNotify};
    ranges[1]->core_requests = {X_NoOperation, X_NoOperation};
    const auto shm = static_cast<unsigned char>(r.shmOpcode);
    ranges[2]->ext_requests.ext_major = {shm, shm};
    ranges[2]->ext_requests.ext_minor = {X_ShmPutImage, X_ShmPutImage};
    r.context = XRecordCreateContext(r.control, 0, clients, 2, ranges, 3);
    for (XRecordRange* range : ranges)
        XFree(range);
    if (!r.context)
        throw std::runtime_error("cannot create a record context");
    XSync(r.control, False);

    r.reader = std::thread(
        [&r] { XRecordEnableContext(r.data, r.context, &Recording::intercept, reinterpret_cast<XPointer>(&r)); });
    // Nothing is recorded before the server confirms the start.
    std::unique_lock<std::mutex> lock(r.mutex);
    if (!r.changed.wait_for(lock, std::chrono::seconds(20), [&] { return r.started; }))
        throw std::runtime_error("the record context did not start");
}

TrafficRecorder::~TrafficRecorder()
{
    Recording& r = *recording;
    XRecordDisableContext(r.control, r.context);
    XSync(r.control, False);
    r.reader.join();
    XRecordFreeContext(r.control, r.context);
    XFreePixmap(r.control, r.marker);
    XCloseDisplay(r.data);
    XCloseDisplay(r.control);
}

Traffic TrafficRecorder::now() const
{
    std::lock_guard<std::mutex> lock(recording->mutex);
    return recording->traffic;
}

Traffic TrafficRecorder::mark()
{
    Recording& r = *recording;
    XNoOp(r.control);
    XSync(r.control, False);
    std::unique_lock<std::mutex> lock(r.mutex);
    const long wanted = ++r.marksSent;
    if (!r.changed.wait_for(lock, std::chrono::seconds(20), [&] { return r.marksSeen >= wanted; }))
        throw std::runtime_error("the recorder never saw its own mark");
    return r.atLastMark;
}
