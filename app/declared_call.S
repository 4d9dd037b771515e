# The application's stack-balance check around a declared DLL call (i686; cdecl symbols carry a
# leading underscore). The call goes through service slot 1, entered with (index, the function's
# own arguments); a function whose real argument list differs from its declaration leaves the
# stack moved, which the caller turns into runtime error 6.
        .intel_syntax noprefix
        .text

# uint32_t tl_app_CallDeclared(void* entry, uint32_t index, const uint32_t* args,
#                              uint32_t count, int32_t* balanced)
        .globl  _tl_app_CallDeclared
        .def    _tl_app_CallDeclared; .scl 2; .type 32; .endef
_tl_app_CallDeclared:
        push    ebp
        mov     ebp, esp
        push    ebx
        push    esi
        push    edi
        mov     ebx, esp
        mov     esi, dword ptr [ebp + 16]
        mov     ecx, dword ptr [ebp + 20]
1:      test    ecx, ecx
        jz      2f
        push    dword ptr [esi + ecx * 4 - 4]
        dec     ecx
        jmp     1b
2:      push    dword ptr [ebp + 12]
        call    dword ptr [ebp + 8]
        xor     ecx, ecx
        cmp     esp, ebx
        sete    cl
        mov     esp, ebx
        mov     edx, dword ptr [ebp + 24]
        mov     dword ptr [edx], ecx
        pop     edi
        pop     esi
        pop     ebx
        pop     ebp
        ret
