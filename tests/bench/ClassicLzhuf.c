/* The LZHUF decoder as the classic C program is written: the tables in file-scope arrays, a
 * 16-bit bit buffer filled a byte at a time by getc, one putc per output byte, a function for each
 * step. Only the decoder, for the benchmark to measure ours against, compiled with the same flags.
 * Its getc and putc work on memory (as the C library's macros do on a buffered stream, without
 * the locking and refills of a real file), so that what is measured is the decoding. */
#include "tests/bench/ClassicLzhuf.h"

#define N 4096
#define F 60
#define THRESHOLD 2
#define N_CHAR (256 - THRESHOLD + F)
#define T (N_CHAR * 2 - 1)
#define R (T - 1)
#define MAX_FREQ 0x8000

static const unsigned char *in_next, *in_end;
static unsigned char *out_next, *out_end;

#define GETC() (in_next < in_end ? *in_next++ : -1)
#define PUTC(c) (out_next < out_end ? (void)(*out_next++ = (unsigned char)(c)) : (void)0)
static unsigned char text_buf[N + F - 1];
static unsigned freq[T + 1];
static int prnt[T + N_CHAR];
static int son[T];
static unsigned getbuf;
static int getlen;

/* The upper 6 bits of a position, by the first 8 bits of its code, and the length of the code. */
static unsigned char d_code[256], d_len[256];

static void make_position_tables(void)
{
    static const int first[7] = {0x00, 0x20, 0x50, 0x90, 0xC0, 0xF0, 0x100};
    static const int code[6] = {0, 1, 4, 12, 24, 48};
    static const int per_code[6] = {32, 16, 8, 4, 2, 1};
    int r, i;
    for (r = 0; r < 6; r++)
        for (i = first[r]; i < first[r + 1]; i++) {
            d_code[i] = (unsigned char)(code[r] + (i - first[r]) / per_code[r]);
            d_len[i] = (unsigned char)(r + 3);
        }
}

static int GetBit(void)
{
    int i;
    while (getlen <= 8) {
        if ((i = GETC()) < 0)
            i = 0;
        getbuf |= (unsigned)i << (8 - getlen);
        getlen += 8;
    }
    i = (getbuf & 0x8000) != 0;
    getbuf = (getbuf << 1) & 0xFFFF;
    getlen--;
    return i;
}

static int GetByte(void)
{
    int i;
    while (getlen <= 8) {
        if ((i = GETC()) < 0)
            i = 0;
        getbuf |= (unsigned)i << (8 - getlen);
        getlen += 8;
    }
    i = (int)(getbuf >> 8);
    getbuf = (getbuf << 8) & 0xFFFF;
    getlen -= 8;
    return i;
}

static void StartHuff(void)
{
    int i, j;
    for (i = 0; i < N_CHAR; i++) {
        freq[i] = 1;
        son[i] = i + T;
        prnt[i + T] = i;
    }
    for (i = 0, j = N_CHAR; j <= R; i += 2, j++) {
        freq[j] = freq[i] + freq[i + 1];
        son[j] = i;
        prnt[i] = prnt[i + 1] = j;
    }
    freq[T] = 0xFFFF;
    prnt[R] = 0;
}

/* Halves the leaf counts and builds the tree again. */
static void reconst(void)
{
    int i, j, k, m;
    unsigned f;
    for (i = j = 0; i < T; i++)
        if (son[i] >= T) {
            freq[j] = (freq[i] + 1) / 2;
            son[j] = son[i];
            j++;
        }
    for (i = 0, j = N_CHAR; j < T; i += 2, j++) {
        f = freq[j] = freq[i] + freq[i + 1];
        for (k = j - 1; f < freq[k]; k--)
            ;
        k++;
        for (m = j; m > k; m--) {
            freq[m] = freq[m - 1];
            son[m] = son[m - 1];
        }
        freq[k] = f;
        son[k] = i;
    }
    for (i = 0; i < T; i++)
        if ((k = son[i]) >= T)
            prnt[k] = i;
        else
            prnt[k] = prnt[k + 1] = i;
}

static void update(int c)
{
    int i, j, l;
    unsigned k;
    if (freq[R] == MAX_FREQ)
        reconst();
    c = prnt[c + T];
    do {
        k = ++freq[c];
        if (k > freq[l = c + 1]) {
            while (k > freq[++l])
                ;
            l--;
            freq[c] = freq[l];
            freq[l] = k;
            i = son[c];
            prnt[i] = l;
            if (i < T)
                prnt[i + 1] = l;
            j = son[l];
            son[l] = i;
            prnt[j] = c;
            if (j < T)
                prnt[j + 1] = c;
            son[c] = j;
            c = l;
        }
    } while ((c = prnt[c]) != 0);
}

static int DecodeChar(void)
{
    unsigned c = (unsigned)son[R];
    while (c < T) {
        c += (unsigned)GetBit();
        c = (unsigned)son[c];
    }
    c -= T;
    update((int)c);
    return (int)c;
}

static int DecodePosition(void)
{
    unsigned i, j, c;
    i = (unsigned)GetByte();
    c = (unsigned)d_code[i] << 6;
    j = d_len[i] - 2;
    while (j--)
        i = (i << 1) + (unsigned)GetBit();
    return (int)(c | (i & 0x3F));
}

long ClassicLzhufDecode(const unsigned char* In, size_t InSize, unsigned char* Out, size_t OutSize)
{
    int i, j, k, r, c;
    unsigned long count;
    unsigned long textsize;

    in_next = In;
    in_end = In + InSize;
    out_next = Out;
    out_end = Out + OutSize;
    if (d_len[0] == 0)
        make_position_tables();
    if (InSize < 4)
        return -1;
    textsize = In[0] | (unsigned long)In[1] << 8 | (unsigned long)In[2] << 16 | (unsigned long)In[3] << 24;
    in_next += 4;
    if (textsize == 0)
        return 0;
    getbuf = 0;
    getlen = 0;
    StartHuff();
    for (i = 0; i < N - F; i++)
        text_buf[i] = ' ';
    for (; i < N + F - 1; i++)
        text_buf[i] = 0;
    r = N - F;
    for (count = 0; count < textsize;) {
        c = DecodeChar();
        if (c < 256) {
            PUTC(c);
            text_buf[r++] = (unsigned char)c;
            r &= N - 1;
            count++;
        } else {
            i = (r - DecodePosition() - 1) & (N - 1);
            j = c - 255 + THRESHOLD;
            for (k = 0; k < j; k++) {
                c = text_buf[(i + k) & (N - 1)];
                PUTC(c);
                text_buf[r++] = (unsigned char)c;
                r &= N - 1;
                count++;
            }
        }
    }
    return (long)count;
}
