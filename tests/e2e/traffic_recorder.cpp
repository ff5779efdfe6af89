#include "traffic_recorder.h"

#include "xlib_threads.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/XRes.h>
#include <X11/extensions/record.h>
#include <X11/extensions/shmproto.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

// The resource base of the connection that made `resource`: the name that
// RECORD gives that connection's traffic.
XID connectionThatMade(Display* server, XID resource)
{
    XID found = 0;
    int count = 0;
    XResClient* clients = nullptr;
    if (XResQueryClients(server, &count, &clients))
        for (int i = 0; i < count && !found; ++i)
            if ((resource & ~clients[i].resource_mask) == clients[i].resource_base)
                found = clients[i].resource_base;
    XFree(clients);
    if (!found)
        throw std::runtime_error("no connection of the X server made resource " + std::to_string(resource));
    return found;
}

// The resource bases of the connections that the process has open now.
std::set<XID> connectionsOf(Display* server, pid_t process)
{
    XResClientIdSpec all{0, XRES_CLIENT_ID_PID_MASK};
    long ids = 0;
    XResClientIdValue* values = nullptr;
    if (XResQueryClientIds(server, 1, &all, &ids, &values) != Success)
        throw std::runtime_error("the X server does not tell which process a connection is");
    std::set<XID> connections;
    for (long i = 0; i < ids; ++i)
        if (XResGetClientPid(&values[i]) == process)
            connections.insert(values[i].spec.client);
    XResClientIdsDestroy(ids, values);
    return connections;
}

}  // namespace

struct TrafficRecorder::Recording {
    Display* control = nullptr;
    Display* data = nullptr;  // read on its own thread only
    Pixmap marker = 0;  // made by the control connection, whose no-op requests are the marks
    XRecordContext context = 0;
    int shmOpcode = 0;
    // Each connection by its resource base: the test's, the one that made
    // the program's window, and the program's others.
    XID markConnection = 0;
    XID windowConnection = 0;
    std::set<XID> programConnections;
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
        const bool ofWindow = record.id_base == windowConnection;
        if (record.category == XRecordFromClient) {
            if (code == X_QueryKeymap && ofWindow)
                ++traffic.keyStateReads;
            else if (code == X_QueryKeymap && programConnections.count(record.id_base))
                ++traffic.keyboardReads;
            else if (code == shmOpcode && record.data[1] == X_ShmPutImage && ofWindow)
                ++traffic.framesShown;
            else if (code == X_NoOperation && record.id_base == markConnection) {
                ++marksSeen;
                atLastMark = traffic;
            }
        } else if (record.category == XRecordFromServer && (code & 0x7f) == MotionNotify && ofWindow) {
            ++traffic.motionEvents;
        }
    }
};

TrafficRecorder::TrafficRecorder(const std::string& display, unsigned long programWindow, int programProcess)
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
    XSync(r.control, False);
    r.markConnection = connectionThatMade(r.control, r.marker);
    r.windowConnection = connectionThatMade(r.control, programWindow);
    r.programConnections = connectionsOf(r.control, programProcess);
    // Every client, and the counts pick the program's and the test's own: a
    // connection named to the record context that closed meanwhile (one
    // that the program or its library opens for a moment) would fail it.
    XRecordClientSpec clients[] = {XRecordAllClients};

    XRecordRange* ranges[3] = {XRecordAllocRange(), XRecordAllocRange(), XRecordAllocRange()};
    ranges[0]->core_requests = {X_QueryKeymap, X_QueryKeymap};
    ranges[0]->delivered_events = {MotionNotify, MotionNotify};
    ranges[1]->core_requests = {X_NoOperation, X_NoOperation};
    const auto shm = static_cast<unsigned char>(r.shmOpcode);
    ranges[2]->ext_requests.ext_major = {shm, shm};
    ranges[2]->ext_requests.ext_minor = {X_ShmPutImage, X_ShmPutImage};
    r.context = XRecordCreateContext(r.control, 0, clients, 1, ranges, 3);
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
