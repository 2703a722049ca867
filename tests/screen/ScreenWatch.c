/* Watches the X screen from outside while a program starts, as a user would see it: captures the
 * whole root window back to back (shared memory when the server offers it) and looks in each for
 * the platform's own caption bar: a run of pixels along one of the given colour gradients.
 *
 *   screenwatch [-s SECONDS] [-r MINRUN] [-o FIRST.ppm] -g RRGGBB:RRGGBB [-g ...] -- PROGRAM ARGS...
 *
 * Starts PROGRAM, captures for SECONDS (default 3) or until it ends, then ends it. Prints the
 * number of captures, how many showed anything new, how many showed a caption of the given
 * colours (and when the first did), and the program's exit code. Exit status: 0 when something
 * showed and no caption of those colours did; 1 when one did; 2 when nothing showed; 3 on a bad
 * command line or no display. With -o the first offending capture is saved. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#define MAX_SEGMENTS 8

typedef struct {
    int a[3], b[3];
} Segment;

static Segment segments[MAX_SEGMENTS];
static int segmentCount;

static double Now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static int ParseSegment(const char* Text, Segment* S)
{
    unsigned a, b;
    if (sscanf(Text, "%6x:%6x", &a, &b) != 2)
        return 0;
    for (int i = 0; i < 3; ++i) {
        S->a[i] = (int)(a >> (16 - 8 * i)) & 0xFF;
        S->b[i] = (int)(b >> (16 - 8 * i)) & 0xFF;
    }
    return 1;
}

/* Whether the colour lies on a segment (within a few levels of each channel). */
static int OnGradient(int R, int G, int B)
{
    const int p[3] = {R, G, B};
    for (int s = 0; s < segmentCount; ++s) {
        const Segment* g = &segments[s];
        double num = 0, den = 0;
        for (int i = 0; i < 3; ++i) {
            num += (double)(p[i] - g->a[i]) * (g->b[i] - g->a[i]);
            den += (double)(g->b[i] - g->a[i]) * (g->b[i] - g->a[i]);
        }
        double t = den > 0 ? num / den : 0;
        if (t < 0)
            t = 0;
        if (t > 1)
            t = 1;
        int near = 1;
        for (int i = 0; i < 3 && near; ++i) {
            const double c = g->a[i] + t * (g->b[i] - g->a[i]);
            near = p[i] - c <= 6 && c - p[i] <= 6;
        }
        if (near)
            return 1;
    }
    return 0;
}

/* Rows of the picture that hold a run of at least MinRun caption pixels; the first such row in *Row. */
static int CaptionRows(XImage* Image, int MinRun, int* Row)
{
    int rows = 0;
    for (int y = 0; y < Image->height; ++y) {
        const uint32_t* line = (const uint32_t*)(Image->data + (size_t)y * (size_t)Image->bytes_per_line);
        int run = 0;
        uint32_t last = 0xFFFFFFFFu;
        int lastOn = 0;
        for (int x = 0; x < Image->width; ++x) {
            const uint32_t c = line[x] & 0xFFFFFFu;
            const int on = c == last ? lastOn : OnGradient((int)(c >> 16) & 0xFF, (int)(c >> 8) & 0xFF, (int)c & 0xFF);
            last = c;
            lastOn = on;
            run = on ? run + 1 : 0;
            if (run >= MinRun) {
                if (rows++ == 0)
                    *Row = y;
                break;
            }
        }
    }
    return rows;
}

static void SavePpm(const char* Path, XImage* Image)
{
    FILE* f = fopen(Path, "wb");
    if (f == NULL)
        return;
    fprintf(f, "P6\n%d %d\n255\n", Image->width, Image->height);
    for (int y = 0; y < Image->height; ++y) {
        const uint32_t* line = (const uint32_t*)(Image->data + (size_t)y * (size_t)Image->bytes_per_line);
        for (int x = 0; x < Image->width; ++x) {
            const unsigned char rgb[3] = {(unsigned char)(line[x] >> 16), (unsigned char)(line[x] >> 8),
                                          (unsigned char)line[x]};
            fwrite(rgb, 1, 3, f);
        }
    }
    fclose(f);
}

int main(int argc, char** argv)
{
    double seconds = 3;
    int minRun = 40;
    const char* save = NULL;
    int i = 1;
    for (; i < argc; ++i) {
        if (strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (i + 1 >= argc)
            break;
        if (strcmp(argv[i], "-s") == 0)
            seconds = atof(argv[++i]);
        else if (strcmp(argv[i], "-r") == 0)
            minRun = atoi(argv[++i]);
        else if (strcmp(argv[i], "-o") == 0)
            save = argv[++i];
        else if (strcmp(argv[i], "-g") == 0 && segmentCount < MAX_SEGMENTS && ParseSegment(argv[i + 1], &segments[segmentCount]))
            ++segmentCount, ++i;
        else
            break;
    }
    if (i >= argc || segmentCount == 0 || seconds <= 0 || minRun < 2) {
        fprintf(stderr, "usage: screenwatch [-s SECONDS] [-r MINRUN] [-o FIRST.ppm] -g RRGGBB:RRGGBB ... -- PROGRAM ARGS...\n");
        return 3;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "screenwatch: no X display\n");
        return 3;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
    XShmSegmentInfo shm;
    XImage* image = NULL;
    if (XShmQueryExtension(display)) {
        image = XShmCreateImage(display, DefaultVisual(display, screen), (unsigned)DefaultDepth(display, screen), ZPixmap,
                                NULL, &shm, (unsigned)width, (unsigned)height);
        if (image != NULL) {
            shm.shmid = shmget(IPC_PRIVATE, (size_t)image->bytes_per_line * (size_t)image->height, IPC_CREAT | 0600);
            shm.shmaddr = image->data = shmat(shm.shmid, NULL, 0);
            shm.readOnly = False;
            if (shm.shmid < 0 || shm.shmaddr == (char*)-1 || !XShmAttach(display, &shm)) {
                XDestroyImage(image);
                image = NULL;
            }
            shmctl(shm.shmid, IPC_RMID, NULL);
        }
    }
    const int useShm = image != NULL;
    if (image != NULL && image->bits_per_pixel != 32) {
        fprintf(stderr, "screenwatch: the screen is not 32 bits a pixel\n");
        return 3;
    }

    /* The screen before the program: what shows afterwards is compared with it. */
    XImage* before = XGetImage(display, root, 0, 0, (unsigned)width, (unsigned)height, AllPlanes, ZPixmap);
    if (before == NULL || before->bits_per_pixel != 32) {
        fprintf(stderr, "screenwatch: cannot read the screen\n");
        return 3;
    }
    const int beforeRow = -1;
    int row = beforeRow;
    if (CaptionRows(before, minRun, &row) > 0)
        fprintf(stderr, "screenwatch: a caption of those colours is on the screen already (row %d)\n", row);

    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[i], argv + i);
        perror("screenwatch: exec");
        _exit(127);
    }
    const double start = Now();
    int captures = 0, visible = 0, native = 0, status = 0, ended = 0;
    double firstNative = -1;
    int firstRow = -1;
    while (Now() - start < seconds) {
        XImage* shot = image;
        if (useShm)
            XShmGetImage(display, root, image, 0, 0, AllPlanes);
        else
            shot = XGetImage(display, root, 0, 0, (unsigned)width, (unsigned)height, AllPlanes, ZPixmap);
        if (shot == NULL)
            break;
        ++captures;
        if (memcmp(shot->data, before->data, (size_t)before->bytes_per_line * (size_t)before->height) != 0)
            ++visible;
        int r = -1;
        if (CaptionRows(shot, minRun, &r) >= 3) {
            if (native++ == 0) {
                firstNative = Now() - start;
                firstRow = r;
                if (save != NULL)
                    SavePpm(save, shot);
            }
        }
        if (!useShm)
            XDestroyImage(shot);
        if (ended)
            break;
        if (waitpid(child, &status, WNOHANG) == child)
            ended = 1; /* one more capture, then stop */
    }
    if (!ended) {
        kill(child, SIGTERM);
        for (int n = 0; n < 100 && waitpid(child, &status, WNOHANG) != child; ++n)
            usleep(20000);
        if (waitpid(child, &status, WNOHANG) == 0) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
    }
    printf("captures %d, showing something %d, showing the platform's caption %d", captures, visible, native);
    if (native > 0)
        printf(" (first after %.0f ms, row %d)", firstNative * 1000, firstRow);
    if (ended && WIFEXITED(status))
        printf(", program ended with %d\n", WEXITSTATUS(status));
    else
        printf(", program ended by the watcher\n");
    if (useShm)
        XShmDetach(display, &shm);
    XCloseDisplay(display);
    if (native > 0)
        return 1;
    return visible > 0 ? 0 : 2;
}
