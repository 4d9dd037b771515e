# Service slot 1 and the stack-balance check around declared DLL calls (i686, cdecl symbols
# carry a leading underscore).
        .intel_syntax noprefix
        .text

# tl_CallDllCommand: entered by `call` with [esp] return address, [esp+4] the declaration
# index, then the function's own arguments. The index is replaced by the return address, so
# the function sees exactly the caller's arguments and returns straight to the caller.
        .globl  _tl_CallDllCommand
        .def    _tl_CallDllCommand; .scl 2; .type 32; .endef
_tl_CallDllCommand:
        push    dword ptr [esp + 4]
        call    _tl_ResolveDllCommandForThunk
        add     esp, 4
        pop     ecx
        mov     dword ptr [esp], ecx
        jmp     eax

# uint64_t tl_CallDllChecked(uint32_t index, const uint32_t* args, uint32_t count)
# Notes the stack depth before the arguments are pushed and compares it after the call: a
# function whose real argument list differs from the declaration leaves it moved.
        .globl  _tl_CallDllChecked
        .def    _tl_CallDllChecked; .scl 2; .type 32; .endef
_tl_CallDllChecked:
        push    ebp
        mov     ebp, esp
        push    ebx
        push    esi
        push    edi
        mov     ebx, esp
        mov     esi, dword ptr [ebp + 12]
        mov     ecx, dword ptr [ebp + 16]
1:      test    ecx, ecx
        jz      2f
        push    dword ptr [esi + ecx * 4 - 4]
        dec     ecx
        jmp     1b
2:      push    dword ptr [ebp + 8]
        call    _tl_CallDllCommand
        cmp     esp, ebx
        jne     3f
        pop     edi
        pop     esi
        pop     ebx
        pop     ebp
        ret
3:      mov     esp, ebx
        call    _tl_ReportStackImbalance
        int3
