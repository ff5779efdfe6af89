// Built and run in the sanitizer build only. It loses a block allocated in
// its own code, and its test passes only on LeakSanitizer's report of that
// block: it fails if the leak suppression, or anything else, hides the leaks
// of the program's own code.
namespace {

int* volatile block = nullptr;

// Out of line, so that no copy of the pointer is left in main's frame or
// registers when the leak check runs at exit.
[[gnu::noinline]] void loseABlock()
{
    block = new int[4];
    block = nullptr;
}

}  // namespace

int main()
{
    loseABlock();
    return 0;
}
