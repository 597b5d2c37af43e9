// Stands in for winhlp32.exe in the link-cursor test: only its cursor 106 (link_cursor.rc) is ever used.
int main() {
    return 0;
}
